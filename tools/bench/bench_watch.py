"""What the benchmark sees of a Windows program from the Linux side, without
touching the program: its own Wine process (found by the image file it maps),
that process's peak resident size and CPU time, the file events of the folders
it writes, and the steps of an installation told from those events.

Every time here is CLOCK_MONOTONIC_RAW in seconds, the clock Wine's
QueryPerformanceCounter and its trace time stamps read on Linux, so that the
readings of bench_ui and of Wine's traces fall on the same line.
"""
import ctypes
import os
import re
import select
import struct
import threading
import time

IN_OPEN = 0x20
IN_CLOSE_WRITE = 0x08
IN_CLOSE_NOWRITE = 0x10
IN_CREATE = 0x100
IN_ISDIR = 0x40000000
IN_Q_OVERFLOW = 0x4000


def now():
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


def pids():
    return {int(entry) for entry in os.listdir("/proc") if entry.isdigit()}


def read_text(path):
    try:
        with open(path) as f:
            return f.read()
    except OSError:
        return None


class CpuPressure:
    """The share of the time in a block during which some runnable task of
    the machine waited for a CPU (the kernel's pressure stall information,
    /proc/pressure/cpu): near nothing when the machine runs the benchmark
    alone, high when other work competes for the cores. None where the kernel
    does not report it."""

    SOURCE = "/proc/pressure/cpu"

    def _total(self):
        text = read_text(self.SOURCE)
        if not text:
            return None
        some = dict(item.split("=") for item in text.splitlines()[0].split()[1:])
        return int(some["total"]) / 1e6

    def __enter__(self):
        self.start = (self._total(), now())
        self.share = None
        return self

    def __exit__(self, *exc):
        total, stamp = self._total(), now()
        if total is not None and self.start[0] is not None and stamp > self.start[1]:
            self.share = (total - self.start[0]) / (stamp - self.start[1])
        return False


class IoPressure(CpuPressure):
    """The same for the disk: the share of the time in which some task
    waited for input or output (/proc/pressure/io)."""

    SOURCE = "/proc/pressure/io"


class ProcessWatch(threading.Thread):
    """Finds the process that maps IMAGE (a Linux path) as a file, among the
    processes started after this watch, and follows its resident size
    (VmHWM, the kernel's own high-water mark, and VmRSS) and its CPU time
    until it ends. Wine's launchers and the program that started it map other
    images, so the process found is the program's own."""

    POLL_S = 0.010

    def __init__(self, image):
        super().__init__(daemon=True)
        self.image = os.path.realpath(image)
        self.known = pids()
        self.done = threading.Event()
        self.pid = None
        self.mapping = ""
        self.command = ""
        self.peak_kb = 0
        self.rss_kb = 0
        self.cpu_s = (0.0, 0.0)  # user, system
        self.samples = 0
        self.found_s = None
        self.ticks = os.sysconf("SC_CLK_TCK")

    def _find(self):
        for pid in sorted(pids() - self.known):
            maps = read_text("/proc/%d/maps" % pid)
            if maps is None:
                continue
            for line in maps.splitlines():
                # The path is the last field; it may hold spaces.
                fields = line.split(None, 5)
                if len(fields) == 6 and fields[5] == self.image:
                    self.pid, self.mapping, self.found_s = pid, line, now()
                    command = read_text("/proc/%d/cmdline" % pid) or ""
                    self.command = command.replace("\0", " ").strip()
                    return True
        return False

    def _sample(self):
        status = read_text("/proc/%d/status" % self.pid)
        stat = read_text("/proc/%d/stat" % self.pid)
        if status is None or stat is None:
            return False
        values = dict(line.split(":", 1) for line in status.splitlines() if ":" in line)
        if "VmHWM" not in values:  # a zombie has no memory any more
            return False
        self.peak_kb = max(self.peak_kb, int(values["VmHWM"].split()[0]))
        self.rss_kb = max(self.rss_kb, int(values["VmRSS"].split()[0]))
        after_name = stat[stat.rindex(")") + 2:].split()
        self.cpu_s = (int(after_name[11]) / self.ticks, int(after_name[12]) / self.ticks)
        self.samples += 1
        return True

    def run(self):
        while self.pid is None and not self.done.is_set():
            if not self._find():
                time.sleep(0.005)
        while self.pid is not None and self._sample():
            time.sleep(self.POLL_S)

    def finish(self, timeout=30):
        self.done.set()
        self.join(timeout)


class FileEvents(threading.Thread):
    """inotify on a few folders, each event stamped with now() when read;
    a recursive watch follows the folders created below it."""

    def __init__(self):
        super().__init__(daemon=True)
        self.libc = ctypes.CDLL(None, use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_CLOEXEC | os.O_NONBLOCK)
        if self.fd < 0:
            raise OSError(ctypes.get_errno(), "inotify_init1")
        self.watches = {}
        self.events = []  # (time, mask, path)
        self.overflow = False
        self.done = threading.Event()

    def watch(self, path, mask, recursive=False):
        if not os.path.isdir(path):
            return
        wd = self.libc.inotify_add_watch(self.fd, os.fsencode(path), mask | (IN_CREATE if recursive else 0))
        if wd >= 0:
            self.watches[wd] = (path, mask, recursive)
        if recursive:
            for entry in os.scandir(path):
                if entry.is_dir(follow_symlinks=False) and not any(p == entry.path for p, _, _ in
                                                                   self.watches.values()):
                    self.watch(entry.path, mask, True)

    def run(self):
        while True:
            ready, _, _ = select.select([self.fd], [], [], 0.05)
            if not ready:
                if self.done.is_set():
                    break
                continue
            stamp = now()
            data = os.read(self.fd, 1 << 16)
            offset = 0
            while offset < len(data):
                wd, mask, _, length = struct.unpack_from("iIII", data, offset)
                name = data[offset + 16:offset + 16 + length].rstrip(b"\0").decode(errors="replace")
                offset += 16 + length
                if mask & IN_Q_OVERFLOW:
                    self.overflow = True
                if wd not in self.watches:
                    continue
                folder, watch_mask, recursive = self.watches[wd]
                path = os.path.join(folder, name) if name else folder
                self.events.append((stamp, mask, path))
                if recursive and mask & IN_CREATE and mask & IN_ISDIR:
                    self.watch(path, watch_mask, True)

    def finish(self):
        self.done.set()
        self.join(10)
        os.close(self.fd)


LOADED = re.compile(r'^(\d+\.\d+):[0-9a-f]+:trace:loaddll:\S+ Loaded L"([^"]+)"')


def loaded_libraries(output):
    """(time, file name) of each module Wine's +timestamp,+loaddll trace reports."""
    found = []
    for line in output.splitlines():
        match = LOADED.match(line.strip())
        if match:
            found.append((float(match.group(1)), match.group(2).replace("\\\\", "\\").split("\\")[-1].lower()))
    return found


def under(path, folder):
    """Whether PATH lies below FOLDER, compared without case as Windows does."""
    path, folder = path.lower(), folder.rstrip("/").lower() + "/"
    return path.startswith(folder)


# The steps an installation passes, each told by the first (or last) event
# of its kind; a run names its own start and end.
MILESTONES = (
    ("archive", "the archive's copy to the temporary folder begins"),
    ("uninstaller", "the uninstaller's copy begins"),
    ("library", "the RAR library's copy begins"),
    ("first file", "the first payload folder is made (extraction begins)"),
    ("last file", "the last payload file is closed (extraction ends)"),
    ("configuration", "the last configuration copy is written"),
)


def milestones(events, temp, payload_roots, configuration_names):
    """Times of the installation's steps from the file events of one run.

    temp: the temporary folder; payload_roots: the Linux folders the payload
    is extracted to (client/translations and server/translations below the
    destination); configuration_names: the file names of the configuration
    copies (lower case)."""
    found = {}

    def first(name, stamp):
        found.setdefault(name, stamp)

    for stamp, mask, path in events:
        base = os.path.basename(path).lower()
        if under(path, temp) and mask & IN_CREATE:
            if base == "setup.rar":
                first("archive", stamp)
            elif base == "uninstall.exe":
                first("uninstaller", stamp)
            elif base == "setup.dll":
                first("library", stamp)
        elif any(under(path, root) or under(root, path) or path.lower() == root.lower() for root in payload_roots):
            # The payload's folders, and the folders made on the way to them.
            if mask & IN_CREATE:
                first("first file", stamp)
            if mask & IN_CLOSE_WRITE:
                found["last file"] = stamp
        elif mask & IN_CLOSE_WRITE and base.split(".quennel")[0] in configuration_names:
            found["configuration"] = stamp
    return found


def steps(marks, start, end, end_name):
    """Consecutive steps [(label, seconds)] from START through the milestones
    seen, in their order, to END."""
    seen = sorted((stamp, name) for name, stamp in marks.items() if start <= stamp <= end)
    labels = dict(MILESTONES)
    out = []
    previous, previous_name = start, "start"
    for stamp, name in seen + [(end, end_name)]:
        out.append(("%s → %s" % (previous_name, name), stamp - previous, labels.get(name, name)))
        previous, previous_name = stamp, name
    return out
