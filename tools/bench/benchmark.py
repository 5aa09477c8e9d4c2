#!/usr/bin/env python3
"""Side-by-side benchmark of the installation, written to docs/performance.md.

    tools/benchmark.sh [--reps 5] [--scales 0.25,0.5,1,2] [--observe 3] [--quiet-reps 120]
    tools/benchmark.sh --only quiet [--reps 120]

Builds installers around generated full-scale payloads (not solid, and solid
at scale 1; the other scales not solid), then runs everything alternating,
round after round after a warm-up round, on one Wine prefix and one drive:
  (a) Quennel.exe /silent on a demo client, start to exit;
  (b) bench_engine.exe: only the counting and the extraction pass through the
      same setup.dll on the same archive (the limit of the design);
  (c) the native `unrar x` of the same archive (the reference without Wine);
  the wizard road's extraction phase (Install Now to the finish page on
  screen); the start of the installer to its language page on screen against
  a trivial dialog program's start to its dialog on screen; the silent
  installation at the other scales. Then, in rounds of their own (--quiet-reps),
  the unattended switches against /silent: (a) /silent, (q) /quiet and
  (l) /quiet /log=FILE, one run of each per round.

--only quiet measures that comparison alone (scale 1 only, --reps rounds) and
replaces its section of docs/performance.md, leaving the rest of the report,
and the sources it names, as they were.

Every timed run extracts into a fresh, empty destination on the same drive
(the last run's output is moved aside and deleted, and the demo client's
folder and configuration copies put back as they were, before the clock
starts), with the temporary folder emptied as on a machine where the
installer has not run, and after `sync`, so that no run pays for writing back
another's files. The programs are started and timed inside Wine by bench_ui
(QueryPerformanceCounter around CreateProcess and the wait, and
GetProcessTimes), never through a wrapper script; one program holds Wine's
desktop open for the whole benchmark, as Windows always has one.

Afterwards, in runs of their own, the installer's and the engine's own Wine
processes are watched from Linux (found by the image file they map): their
peak resident size, their CPU time, and the file events of their folders,
which split an installation into its steps.

It measures the shipped 32-bit installer only; where this machine runs no
32-bit programs, tools/benchmark.sh runs Wine's 32-bit loader through
qemu-user, and the report says which route ran.
"""
import argparse
import datetime
import json
import os
import platform
import re
import shutil
import signal
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "payload"))
import bench_report  # noqa: E402
import bench_watch  # noqa: E402
from payload_catalogue import PAYLOAD_ROOTS  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BENCH = os.path.join(REPO, "build", "bench")
WINE_ENV = os.path.join(REPO, "tests", "wine", "wine-env.sh")
TRACE = "+timestamp,+loaddll"
LANGUAGE_PAGE_CONTROL = "1094"

BUILDS = {
    "32": {"toolchain": "cmake/mingw-i686.cmake",
           "name": "the shipped 32-bit build of the installer (cmake/mingw-i686.cmake), under Wine's 32-bit loader"},
}


class BenchError(Exception):
    pass


def run(command, env=None, quiet=True):
    """Runs a command; its output (standard output and error together) when quiet."""
    done = subprocess.run(command, env=env, text=True, errors="replace", stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE if quiet else None, stderr=subprocess.STDOUT if quiet else None)
    if done.returncode != 0:
        raise BenchError("%s failed (exit status %d)%s" % (" ".join(command), done.returncode,
                                                           ":\n" + done.stdout[-3000:] if quiet else ""))
    return done.stdout


def win_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def choose_build(requested):
    """The shipped 32-bit build, on the route tools/benchmark.sh took."""
    if subprocess.run([WINE_ENV, "probe"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode:
        subprocess.run([WINE_ENV, "probe"])
        sys.exit("benchmark: not run: Wine's 32-bit loader does not run here (tools/benchmark.sh runs it "
                 "through qemu-user where the kernel runs no 32-bit programs)")
    route = "through qemu-user" if os.environ.get("QUENNEL_QEMU_ROUTE") else "natively"
    return "32", "%s running %s" % (BUILDS["32"]["name"], route)


def build_variants(arch, scales, solid=True,
                   targets=("Quennel", "bench_engine", "bench_ui", "trivial_dialog", "democlient")):
    """One build folder per architecture; the payload is swapped per variant
    and each installer kept aside. SCALES not solid, and scale 1 solid too
    when SOLID."""
    build = os.path.join(BENCH, "build" + arch)
    variants = {}
    wanted = [(scale, False) for scale in scales] + ([(1.0, True)] if solid else [])
    for scale, solid in wanted:
        name = "%g%s" % (scale, "-solid" if solid else "")
        tree = os.path.join(BENCH, "tree-%g" % scale)
        # A tree is made again unless it was made whole (the mark lies beside
        # it: everything inside is packed).
        complete = tree + ".complete"
        if not os.path.isfile(complete):
            shutil.rmtree(tree, ignore_errors=True)
            run([sys.executable, os.path.join(REPO, "tools/bench/make_bench_tree.py"),
                 "--catalogue", os.path.join(REPO, "core/language_catalogue.cpp"), "--out", tree,
                 "--scale", str(scale)], quiet=False)
            open(complete, "w").close()
        print("benchmark: building the %s-bit installer of variant %s" % (arch, name), flush=True)
        run(["cmake", "-S", REPO, "-B", build, "-G", "Ninja",
             "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(REPO, BUILDS[arch]["toolchain"]),
             "-DCMAKE_BUILD_TYPE=Release", "-DbrandFlag=0", "-DproductTypeFlag=0",
             "-DQUENNEL_PAYLOAD_TREE=" + tree, "-DQUENNEL_PAYLOAD_SOLID=" + ("ON" if solid else "OFF"),
             "-DQUENNEL_DIST_DIR=" + os.path.join(build, "dist")])
        run(["cmake", "--build", build, "--target"] + list(targets))
        folder = os.path.join(BENCH, "variants" + arch, name)
        os.makedirs(folder, exist_ok=True)
        shutil.copy2(os.path.join(build, "dist", "Quennel.exe"), os.path.join(folder, "Quennel.exe"))
        shutil.copy2(os.path.join(build, "payload", "setup.rar"), os.path.join(folder, "setup.rar"))
        variants[name] = {"scale": scale, "solid": solid, "folder": folder, "tree": tree,
                          "payload": payload_totals(tree),
                          "installer": os.path.join(folder, "Quennel.exe"),
                          "archive": os.path.join(folder, "setup.rar")}
    tools = os.path.join(build, "tools", "demo")
    return variants, {name: os.path.join(tools, name + ".exe")
                      for name in ("bench_engine", "bench_ui", "trivial_dialog", "democlient")}


def folder_totals(top):
    """(files, bytes) below TOP."""
    sizes = [os.path.getsize(os.path.join(folder, name)) for folder, _, names in os.walk(top) for name in names]
    return len(sizes), sum(sizes)


def payload_totals(tree):
    """Files and bytes below each payload root of a tree."""
    return {root: folder_totals(os.path.join(tree, root)) for root in PAYLOAD_ROOTS}


def find_nocase(base, relative):
    """BASE/RELATIVE with each part matched without case, as Windows and Wine
    do (the payload's client/ lands in the client's Client/)."""
    path = base
    for part in [p for p in relative.replace("\\", "/").split("/") if p]:
        candidate = os.path.join(path, part)
        if not os.path.lexists(candidate) and os.path.isdir(path):
            same = sorted(name for name in os.listdir(path) if name.lower() == part.lower())
            if same:
                candidate = os.path.join(path, same[0])
        path = candidate
    return path


class Prefix:
    """The benchmark's Wine prefix: paths, fresh destinations, programs."""

    def __init__(self, arch, tools):
        self.arch = arch
        self.tools = tools
        self.state = os.path.join(BENCH, "wine" + arch)
        self.env = dict(os.environ, QUENNEL_WINE_DIR=self.state, QUENNEL_WINE_ARCH=arch)
        self.prefix = os.path.join(self.state, "prefix")
        self.keeper = None

    def unix(self, windows_path):
        """A Windows path of this prefix as a Linux path (through dosdevices)."""
        drive = os.path.realpath(os.path.join(self.prefix, "dosdevices", windows_path[0].lower() + ":"))
        return find_nocase(drive, windows_path[2:])

    def wine(self, *command):
        return run([WINE_ENV, "run"] + [str(part) for part in command], env=self.env)

    def start(self, roots):
        run([WINE_ENV, "start"], env=self.env, quiet=False)
        # One program holds the desktop for the whole benchmark (see bench_ui hold).
        self.keeper = subprocess.Popen([WINE_ENV, "run", self.tools["bench_ui"], "hold"], env=self.env,
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                       text=True)
        if self.keeper.stdout.readline().strip() != "holding":
            raise BenchError("bench_ui hold did not start")
        installed = self.wine(self.tools["democlient"], "install")
        lines = [line.strip() for line in installed.splitlines()]
        self.client_windows = next(line.split("=", 1)[1].strip() for line in lines
                                   if line.startswith("client folder"))
        self.client = self.unix(self.client_windows)
        self.configuration = {}
        for line in lines:
            if line.startswith("configuration"):
                path = self.unix(line.split("=", 1)[1].strip())
                with open(path, "rb") as f:
                    self.configuration[path] = f.read()
        self.temp = self.unix(self.wine("cmd", "/c", "echo", "%TEMP%").strip().splitlines()[-1].strip())
        # The client's folder as the demo client leaves it, without any
        # payload an earlier benchmark left there.
        for root in roots:
            path = find_nocase(self.client, root)
            if os.path.isdir(path):
                shutil.rmtree(path)
                parent = os.path.dirname(path)
                if parent != self.client and not os.listdir(parent):
                    os.rmdir(parent)
        self.pristine = os.path.join(self.state, "client-as-installed")
        shutil.rmtree(self.pristine, ignore_errors=True)
        shutil.copytree(self.client, self.pristine, symlinks=True)
        self.engine_windows = "C:\\bench\\engine\\"
        self.engine = self.unix(self.engine_windows)
        self.native = self.unix("C:\\bench\\native")

    def stop(self):
        if self.keeper is not None:
            self.keeper.stdin.close()
            try:
                self.keeper.wait(30)
            except subprocess.TimeoutExpired:
                self.keeper.kill()
        subprocess.run([WINE_ENV, "stop"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @staticmethod
    def replace(path, source=None):
        """Moves PATH aside, deletes it, and puts an empty folder (or a copy
        of SOURCE) in its place."""
        if os.path.lexists(path):
            aside = path.rstrip("/") + ".bench-old"
            shutil.rmtree(aside, ignore_errors=True)
            os.rename(path, aside)
            shutil.rmtree(aside)
        if source is None:
            os.makedirs(path)
        else:
            shutil.copytree(source, path, symlinks=True)

    def empty_temp(self):
        for entry in os.scandir(self.temp):
            if entry.is_dir(follow_symlinks=False):
                shutil.rmtree(entry.path)
            else:
                os.unlink(entry.path)

    def ready_client(self):
        """The demo client as installed, nothing of the installer anywhere; flushed."""
        self.replace(self.client, self.pristine)
        for path, data in self.configuration.items():
            with open(path, "wb") as f:
                f.write(data)
        self.empty_temp()
        os.sync()

    def ready_folder(self, path):
        self.replace(path)
        self.empty_temp()
        os.sync()

    def launch(self, exe, *arguments, trace=None):
        """Starts a program through bench_ui run; its fields and output."""
        command = [self.tools["bench_ui"]] + (["--winedebug=" + trace] if trace else [])
        before = bench_watch.now()
        out = self.wine(*(command + ["run", win_path(exe)] + list(arguments)))
        after = bench_watch.now()
        fields = fields_of(out)
        if "wall_ms" not in fields:
            raise BenchError("bench_ui run %s: no timing:\n%s" % (exe, out[-3000:]))
        # Wine's QueryPerformanceCounter reads CLOCK_MONOTONIC_RAW: the two
        # readings fall between the benchmark's own.
        fields["same_clock"] = before <= float(fields["start_s"]) <= float(fields["end_s"]) <= after
        return fields, out

    def ui(self, *arguments, trace=None):
        command = [self.tools["bench_ui"]] + (["--winedebug=" + trace] if trace else []) + list(arguments)
        out = self.wine(*command)
        return fields_of(out), out


def fields_of(text):
    """key=value pairs of the lines made of nothing else."""
    fields = {}
    for line in text.splitlines():
        items = line.split()
        if items and all("=" in item and item.split("=", 1)[0].isidentifier() for item in items):
            fields.update(item.split("=", 1) for item in items)
    return fields


def check_payload(destination, variant):
    """Raises unless every payload file of the variant is in DESTINATION, by count and bytes."""
    for root, (files, size) in variant["payload"].items():
        found_files, found_size = folder_totals(find_nocase(destination, root))
        if (found_files, found_size) != (files, size):
            raise BenchError("%s: %d files, %d bytes below %s; the payload has %d files, %d bytes" % (
                destination, found_files, found_size, root, files, size))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--reps", type=int,
                        help="timed rounds (default 5); with --only quiet, the comparison's rounds")
    parser.add_argument("--scales", default="0.25,0.5,1,2")
    parser.add_argument("--arch", choices=("32",), help=argparse.SUPPRESS)
    parser.add_argument("--observe", type=int, default=3,
                        help="watched runs of the installer and the engine for memory and the steps (default 3)")
    parser.add_argument("--quiet-reps", type=int, default=QUIET_ROUNDS,
                        help="rounds of /silent, /quiet and /quiet /log= (default %d)" % QUIET_ROUNDS)
    parser.add_argument("--only", choices=("quiet",),
                        help="quiet: only the comparison of /quiet and /quiet /log= with /silent")
    args = parser.parse_args()
    if args.only == "quiet":
        only_quiet(args.reps if args.reps is not None else args.quiet_reps, args.arch)
        return
    if args.reps is None:
        args.reps = 5
    if min(args.reps, args.quiet_reps) < 1:
        parser.error("--reps and --quiet-reps must be at least 1")
    scales = sorted(set(float(s) for s in args.scales.split(",")))
    if 1.0 not in scales or len(scales) < 3:
        parser.error("--scales must hold 1 (the full scale) and at least two others")

    # Say what cannot run before spending minutes on builds.
    arch, build_name = choose_build(args.arch)
    print("benchmark: measuring %s" % build_name, flush=True)
    started = datetime.datetime.now(datetime.timezone.utc)
    sources = source_state()
    variants, tools = build_variants(arch, scales)
    prefix = Prefix(arch, tools)
    try:
        prefix.start(PAYLOAD_ROOTS)
        results, engine_fields, loads = timed_rounds(prefix, variants, tools, scales, args.reps)
        quiet = quiet_rounds(prefix, variants["1"], args.quiet_reps)
        observed, startups = observed_runs(prefix, variants, tools, scales, args.observe)
    finally:
        prefix.stop()
    finished = datetime.datetime.now(datetime.timezone.utc)
    report = bench_report.write(args, arch, build_name, scales, variants, results, engine_fields, observed,
                                startups, loads, started, finished, machine(arch), sources, quiet)
    with open(os.path.join(REPO, "docs", "performance.md"), "w") as out:
        out.write(report)
    print(report)


def only_quiet(rounds, requested_arch):
    """The comparison of the unattended switches alone, its section of the report replaced."""
    if rounds < 1:
        sys.exit("benchmark: --reps must be at least 1")
    arch, build_name = choose_build(requested_arch)
    print("benchmark: measuring %s" % build_name, flush=True)
    started = datetime.datetime.now(datetime.timezone.utc)
    sources = source_state()
    variants, tools = build_variants(arch, [1.0], solid=False, targets=("Quennel", "bench_ui", "democlient"))
    prefix = Prefix(arch, tools)
    try:
        prefix.start(PAYLOAD_ROOTS)
        quiet = quiet_rounds(prefix, variants["1"], rounds)
    finally:
        prefix.stop()
    quiet.update(started=started, finished=datetime.datetime.now(datetime.timezone.utc), sources=sources,
                 build=build_name, command="tools/benchmark.sh --only quiet --reps %d%s" % (
                     rounds, " --arch " + requested_arch if requested_arch else ""),
                 machine=machine(arch))
    path = os.path.join(REPO, "docs", "performance.md")
    text = open(path, encoding="utf-8").read() if os.path.exists(path) else "# Performance\n"
    rest = bench_report.sources_of(text)
    standalone = ("The other sections of this report come from the full benchmark run described at its top (sources: "
                  "%s), not from this one." % rest if rest else "The other sections of this report come from other "
                  "runs.")
    section = bench_report.quiet_section(quiet, standalone)
    with open(path, "w", encoding="utf-8") as out:
        out.write(bench_report.splice_section(text, bench_report.QUIET_HEADING, section))
    print("\n".join(section))


def machine(arch):
    with open("/proc/cpuinfo") as info:
        cpu = next((line.split(":", 1)[1].strip() for line in info if line.startswith("model name")),
                   "unknown processor")
    return "%s, %d cores, Linux %s, %s" % (cpu, os.cpu_count(), platform.release(), wine_version(arch))


def source_state():
    """The commit the installers are built from, and whether the working tree differs from it."""
    def git(*command):
        done = subprocess.run(["git", "--no-optional-locks", "-C", REPO] + list(command), text=True,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return done.stdout.strip() if done.returncode == 0 else None

    commit = git("rev-parse", "--short", "HEAD")
    if commit is None:
        return "not a git checkout"
    # The report this benchmark writes is no change of the sources; the
    # benchmark's own files are none of the installer's.
    changed = git("status", "--porcelain", "--untracked-files=no", "--", ".", ":!docs/performance.md")
    if not changed:
        return "commit %s" % commit
    if not git("status", "--porcelain", "--untracked-files=no", "--", ".", ":!docs/performance.md", ":!tools/bench",
               ":!tools/benchmark.sh"):
        return "commit %s, with uncommitted changes to the benchmark alone (tools/bench, tools/benchmark.sh)" % commit
    return "commit %s, with uncommitted changes in the working tree" % commit


def wine_version(arch):
    loader = "wine" if arch == "32" else (shutil.which("wine64") or "/usr/lib/wine/wine64")
    return subprocess.run([loader, "--version"], text=True, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL).stdout.strip()


def timed_rounds(prefix, variants, tools, scales, reps):
    results = {}
    engine_fields = {}

    def record(key, value, pressure=None):
        results.setdefault(key, []).append(value)
        if pressure is not None and pressure.share is not None:
            results.setdefault("pressure:" + key, []).append(pressure.share)

    def installer(variant):
        prefix.ready_client()
        with bench_watch.CpuPressure() as pressure:
            fields, _ = prefix.launch(variants[variant]["installer"], "/silent")
        check_payload(prefix.client, variants[variant])
        record("a:" + variant, float(fields["wall_ms"]) / 1000, pressure)
        record("a-life:" + variant, float(fields["life_ms"]) / 1000)

    def engine(variant, key, into_client=False):
        if into_client:
            prefix.ready_client()
        else:
            prefix.ready_folder(prefix.engine)
        destination = prefix.client_windows if into_client else prefix.engine_windows
        with bench_watch.CpuPressure() as pressure:
            fields, _ = prefix.launch(tools["bench_engine"], win_path(variants[variant]["archive"]), destination)
        check_payload(prefix.client if into_client else prefix.engine, variants[variant])
        record(key, float(fields["wall_ms"]) / 1000, pressure)
        if not into_client:
            record("b-life:" + variant, float(fields["life_ms"]) / 1000)
            engine_fields.setdefault(variant, []).append(fields)

    def native(variant):
        prefix.ready_folder(prefix.native)
        with bench_watch.CpuPressure() as pressure:
            start = bench_watch.now()
            run(["unrar", "x", "-o+", "-idq", variants[variant]["archive"], prefix.native + "/"])
            elapsed = bench_watch.now() - start
        record("c:" + variant, elapsed, pressure)
        check_payload(prefix.native, variants[variant])

    def wizard():
        prefix.ready_client()
        with bench_watch.CpuPressure() as pressure:
            fields, out = prefix.ui("wizard", win_path(variants["1"]["installer"]))
        if "install_ms" not in fields or fields.get("exit") != "0":
            raise BenchError("bench_ui wizard:\n" + out[-3000:])
        check_payload(prefix.client, variants["1"])
        record("wizard", float(fields["install_ms"]) / 1000, pressure)

    def startup(key, exe, control):
        os.sync()
        with bench_watch.CpuPressure() as pressure:
            fields, out = prefix.ui("startup", win_path(exe), control)
        if "startup_ms" not in fields:
            raise BenchError("bench_ui startup:\n" + out[-3000:])
        record(key, float(fields["startup_ms"]) / 1000, pressure)

    def round_once():
        for variant in ("1", "1-solid"):
            installer(variant)
            engine(variant, "b:" + variant)
            native(variant)
        # The minimal engine into the installer's own destination: tells the
        # cost of the destination from the cost of the installer's other steps.
        engine("1", "b-client", into_client=True)
        wizard()
        startup("start:quennel", variants["1"]["installer"], LANGUAGE_PAGE_CONTROL)
        startup("start:trivial", tools["trivial_dialog"], "1")
        for scale in scales:
            if scale != 1.0:
                installer("%g" % scale)

    loads = [load_average()]
    print("benchmark: warm-up round", flush=True)
    round_once()
    results.clear()
    engine_fields.clear()
    for rep in range(reps):
        print("benchmark: round %d of %d" % (rep + 1, reps), flush=True)
        round_once()
    loads.append(load_average())
    return results, engine_fields, loads


# (a), (q) and (l) of the comparison of the unattended switches; the log goes
# to a folder of its own, made anew before every run. On a quiet 2-core
# machine one run's ratio to the /silent run of its round scatters by about
# 4 % (standard deviation); the 95 % interval of the median of n such ratios
# is then about 20 % / sqrt(n) wide (2 x 1.96 x 1.25 x 4 %), under 2 % from
# some 100 rounds on.
QUIET_ROUNDS = 120
QUIET_LOG_FOLDER = "C:\\bench\\log"
QUIET_LOG_FILE = QUIET_LOG_FOLDER + "\\quennel.log"
QUIET_RUNS = (("a", ("/silent",)), ("q", ("/quiet",)), ("l", ("/quiet", "/log=" + QUIET_LOG_FILE)))
LAST_LOG_LINE = re.compile(r"\bexit code 0$")


def check_log(path):
    """(bytes, lines, last line) of the log a run wrote to PATH; raises
    unless it is there, is UTF-8, and ends with the line of exit code 0."""
    if not os.path.isfile(path):
        raise BenchError("/log=: no log at %s" % path)
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8-sig")
    except UnicodeDecodeError as error:
        raise BenchError("/log=: %s is not UTF-8 (%s)" % (path, error))
    lines = [line.strip() for line in text.splitlines() if line.strip()]
    if not lines or not LAST_LOG_LINE.search(lines[-1]):
        raise BenchError("/log=: %s does not end with the line of exit code 0: %r" % (
            path, lines[-1] if lines else text))
    return len(data), len(lines), lines[-1]


def check_configuration(prefix):
    """Raises unless every configuration copy of the demo client was rewritten."""
    for path, original in prefix.configuration.items():
        with open(path, "rb") as f:
            if f.read() == original:
                raise BenchError("%s was not updated" % path)


def quiet_rounds(prefix, variant, reps):
    """(a) /silent, (q) /quiet and (l) /quiet /log=FILE on the same demo
    client, one run of each per round after a warm-up round, the order
    turned by one place every round; each run from a fresh destination as (a)
    in timed_rounds, and the log's folder made anew."""
    log_folder = prefix.unix(QUIET_LOG_FOLDER)
    log_file = os.path.join(log_folder, QUIET_LOG_FILE.rsplit("\\", 1)[1])
    quiet = {"wall": {}, "life": {}, "pressure": {}, "io": {}, "log_bytes": [], "log_lines": [], "rounds": reps,
             "log_folder": QUIET_LOG_FOLDER, "log_file": QUIET_LOG_FILE}
    # Every timed run, kept beside the report for a second look (written
    # after each round, so that a run stopped half-way leaves what it had).
    runs = []
    runs_file = os.path.join(BENCH, "quiet-runs.json")

    def one(kind, arguments):
        prefix.replace(log_folder)
        prefix.ready_client()  # ends with sync
        with bench_watch.CpuPressure() as pressure, bench_watch.IoPressure() as io:
            fields, out = prefix.launch(variant["installer"], *arguments)
        if fields.get("exit") != "0":
            raise BenchError("Quennel.exe %s ended with exit code %s:\n%s" % (
                " ".join(arguments), fields.get("exit"), out[-3000:]))
        check_payload(prefix.client, variant)
        check_configuration(prefix)
        if kind == "l":
            size, count, last = check_log(log_file)
        elif os.listdir(log_folder):
            raise BenchError("Quennel.exe %s wrote into %s" % (" ".join(arguments), log_folder))
        return fields, (pressure.share, io.share), (size, count, last) if kind == "l" else None

    loads = [load_average()]
    for number in range(reps + 1):
        print("benchmark: /silent, /quiet, /quiet /log=: %s" % (
            "warm-up round" if number == 0 else "round %d of %d" % (number, reps)), flush=True)
        turn = number % len(QUIET_RUNS)
        for place, (kind, arguments) in enumerate(QUIET_RUNS[turn:] + QUIET_RUNS[:turn]):
            fields, (share, io_share), log = one(kind, arguments)
            if number == 0:
                continue
            quiet["wall"].setdefault(kind, []).append(float(fields["wall_ms"]) / 1000)
            quiet["life"].setdefault(kind, []).append(float(fields["life_ms"]) / 1000)
            quiet["pressure"].setdefault(kind, []).append(share)
            quiet["io"].setdefault(kind, []).append(io_share)
            runs.append({"round": number, "place": place, "run": kind, "wall_ms": float(fields["wall_ms"]),
                         "life_ms": float(fields["life_ms"]), "cpu_waited": share, "io_waited": io_share})
            if log is not None:
                quiet["log_bytes"].append(log[0])
                quiet["log_lines"].append(log[1])
                quiet["log_last"] = log[2]
        with open(runs_file, "w") as out:
            json.dump(runs, out, indent=0)
    loads.append(load_average())
    quiet["loads"] = loads
    return quiet


def load_average():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


def observed_runs(prefix, variants, tools, scales, count):
    """Runs of their own, watched from Linux: peak memory, CPU, steps."""
    observed = {}
    roots = [find_nocase(prefix.client, root) for root in PAYLOAD_ROOTS]
    configuration_names = {os.path.basename(path).lower() for path in prefix.configuration}

    def watched(key, image, start_run, destination, payload_roots, trace_wanted=True):
        notify = bench_watch.FileEvents()
        notify.watch(prefix.temp, bench_watch.IN_CREATE | bench_watch.IN_CLOSE_WRITE)
        notify.watch(destination, bench_watch.IN_CREATE | bench_watch.IN_CLOSE_WRITE, recursive=True)
        for folder in {os.path.dirname(path) for path in prefix.configuration}:
            if not bench_watch.under(folder, destination):
                notify.watch(folder, bench_watch.IN_CLOSE_WRITE)
        process = bench_watch.ProcessWatch(image)
        notify.start()
        process.start()
        try:
            fields, out = start_run()
        finally:
            process.finish()
            notify.finish()
        marks = bench_watch.milestones(notify.events, prefix.temp, payload_roots, configuration_names)
        libraries = bench_watch.loaded_libraries(out)
        entry = {"fields": fields, "marks": marks, "libraries": libraries, "pid": process.pid,
                 "mapping": process.mapping, "command": process.command, "peak_mb": process.peak_kb / 1024,
                 "rss_mb": process.rss_kb / 1024, "cpu_s": process.cpu_s, "samples": process.samples,
                 "overflow": notify.overflow}
        observed.setdefault(key, []).append(entry)
        return entry

    def installer(variant):
        prefix.ready_client()
        watched("installer:" + variant, variants[variant]["installer"],
                lambda: prefix.launch(variants[variant]["installer"], "/silent", trace=TRACE),
                prefix.client, roots)
        check_payload(prefix.client, variants[variant])

    def engine(variant):
        prefix.ready_folder(prefix.engine)
        engine_roots = [os.path.join(prefix.engine, root) for root in PAYLOAD_ROOTS]
        watched("engine:" + variant, tools["bench_engine"],
                lambda: prefix.launch(tools["bench_engine"], win_path(variants[variant]["archive"]),
                                      prefix.engine_windows, trace=TRACE),
                prefix.engine, engine_roots)
        check_payload(prefix.engine, variants[variant])

    def wizard():
        prefix.ready_client()
        watched("wizard:1", variants["1"]["installer"],
                lambda: prefix.ui("wizard", win_path(variants["1"]["installer"])), prefix.client, roots)
        check_payload(prefix.client, variants["1"])

    startups = {}

    def startup(key, exe, control):
        os.sync()
        fields, out = prefix.ui("startup", win_path(exe), control, trace=TRACE)
        startups.setdefault(key, []).append({"fields": fields, "libraries": bench_watch.loaded_libraries(out)})

    print("benchmark: watched runs (memory, CPU, steps)", flush=True)
    for _ in range(count):
        installer("1")
        engine("1")
        startup("quennel", variants["1"]["installer"], LANGUAGE_PAGE_CONTROL)
        startup("trivial", tools["trivial_dialog"], "1")
        # Every scale, for the growth step by step.
        for scale in scales:
            if scale != 1.0:
                installer("%g" % scale)
    installer("1-solid")
    wizard()
    return observed, startups


def stopped(signum, _frame):
    # A benchmark ended from outside still stops its Wine prefix and display
    # (the finally blocks run on the way out).
    sys.exit("benchmark: stopped by signal %d" % signum)


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, stopped)
    try:
        main()
    except BenchError as error:
        sys.exit("benchmark: %s" % error)
