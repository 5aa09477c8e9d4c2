#!/usr/bin/env python3
"""Checks a built installer executable by reading it, without running it.

What it holds the file to:
- a 32-bit x86 Windows GUI program (PE32, machine i386, GUI subsystem);
- self-contained: it imports only DLLs that every Windows has, none of the
  compiler's runtime DLLs and not the archive library (that one is carried
  inside and loaded from the temporary folder);
- safe to start from a Downloads folder: its import table (and the
  uninstaller's) names only KERNEL32 and msvcrt, which Windows always takes
  from its system folder; the rest is delay-loaded;
- it starts on the oldest Windows the README names: no function in its
  import table (or the uninstaller's) came after it;
- its resources: a well-formed x86 manifest, version information, every page
  dialog, each dialog's control IDs unique, the language page's 33 language boxes;
- what it carries: the payload is a RAR archive, the archive library a 32-bit
  DLL exporting the library's entry points, the uninstaller a 32-bit program,
  the licence an RTF text.

  check_executable.py INSTALLER.exe [INSTALLER.exe ...]
Exit status 0 when every file passes; each fault is printed.
"""
import struct
import sys
import xml.etree.ElementTree as ET

RT_DIALOG = 5
RT_VERSION = 16
RT_MANIFEST = 24

# DLLs of Windows itself (lower case).
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "shlwapi.dll",
    "comctl32.dll", "comdlg32.dll", "ole32.dll", "oleaut32.dll", "msvcrt.dll", "uxtheme.dll",
    "msimg32.dll", "version.dll", "ws2_32.dll", "winmm.dll", "imm32.dll", "gdiplus.dll",
    "riched20.dll", "msftedit.dll", "crypt32.dll", "wintrust.dll", "userenv.dll", "ntdll.dll",
    "bcrypt.dll", "rpcrt4.dll", "psapi.dll", "dbghelp.dll", "setupapi.dll", "powrprof.dll",
}
# What a program started from any folder may name in its import table: DLLs
# that Windows always takes from its system folder (known DLLs, whose own
# dependencies are known DLLs too). Everything else is loaded at run time,
# after the library search is limited to the system folder.
STATIC_IMPORTS = {"kernel32.dll", "msvcrt.dll"}
# The oldest Windows the installer runs on (the README says so), and the
# functions of its two static imports that came after it: a program that
# imports one does not start there at all ("entry point not found").
MINIMUM_WINDOWS = "Windows 7 SP1"
NEWER_THAN_MINIMUM = {
    "kernel32.dll": {
        "SetDefaultDllDirectories", "AddDllDirectory", "RemoveDllDirectory",  # a later Windows 7 update
        "GetSystemTimePreciseAsFileTime", "CreateFile2", "CopyFile2", "GetOverlappedResultEx",
        "WaitOnAddress", "WakeByAddressSingle", "WakeByAddressAll", "InitializeSynchronizationBarrier",
        "EnterSynchronizationBarrier", "DeleteSynchronizationBarrier", "GetCurrentThreadStackLimits",
        "SetThreadDescription", "GetThreadDescription", "VirtualAlloc2", "MapViewOfFile3",
        "GetProcessMitigationPolicy", "SetProcessMitigationPolicy", "PrefetchVirtualMemory",
        "GetCurrentPackageId", "GetCurrentPackageFullName", "GetPackageFamilyName", "GetFirmwareType",
        "SetProcessDefaultCpuSets", "GetSystemCpuSetInformation", "CreateFileMapping2",
    },
    "msvcrt.dll": {"_o_malloc", "_o_free"},
}
PAGE_DIALOGS = (100, 102, 129, 132, 163, 177)
LANGUAGE_PAGE = 177
LANGUAGE_COUNT = 33
UNRAR_EXPORTS = ("RAROpenArchiveEx", "RARReadHeaderEx", "RARProcessFileW", "RARCloseArchive",
                 "RARSetCallback")
BS_TYPEMASK = 0x0F
BS_AUTOCHECKBOX = 0x03
BS_BITMAP = 0x80
DS_SETFONT = 0x40


class Fault(Exception):
    pass


class PE:
    """The parts of a PE32 file this check reads."""

    def __init__(self, data, name):
        self.data, self.name = data, name
        if data[:2] != b"MZ":
            raise Fault(f"{name}: not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise Fault(f"{name}: no PE signature")
        self.machine, nsections = struct.unpack_from("<HH", data, pe + 4)
        opt_size, self.characteristics = struct.unpack_from("<HH", data, pe + 20)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        if self.magic != 0x10B:
            raise Fault(f"{name}: not PE32 (optional header magic {self.magic:#x})")
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        ndirs = struct.unpack_from("<I", data, opt + 92)[0]
        self.dirs = [struct.unpack_from("<II", data, opt + 96 + 8 * i) for i in range(min(ndirs, 16))]
        self.sections = []
        table = opt + opt_size
        for i in range(nsections):
            vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((va, max(vsize, rawsize), rawptr, rawsize))

    def offset(self, rva):
        for va, size, rawptr, rawsize in self.sections:
            if va <= rva < va + size:
                if rva - va >= rawsize:
                    raise Fault(f"{self.name}: RVA {rva:#x} lies in uninitialised data")
                return rawptr + (rva - va)
        raise Fault(f"{self.name}: RVA {rva:#x} outside every section")

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def directory(self, index):
        return self.dirs[index] if index < len(self.dirs) else (0, 0)

    def imports(self, tables=((1, 20), (13, 32))):
        """Names of the DLLs in the import table and the delay-load table."""
        names = []
        for index, size in tables:
            rva, _ = self.directory(index)
            if not rva:
                continue
            at = self.offset(rva)
            while True:
                entry = self.data[at:at + size]
                if len(entry) < size or not any(entry):
                    break
                names.append(self.cstring(struct.unpack_from("<I", entry, 12 if index == 1 else 4)[0]))
                at += size
        return names

    def imported_functions(self):
        """{dll (lower case): names imported by name} from the import table."""
        rva, _ = self.directory(1)
        functions = {}
        if not rva:
            return functions
        wide = self.magic == 0x20B
        at = self.offset(rva)
        while True:
            entry = self.data[at:at + 20]
            if len(entry) < 20 or not any(entry):
                break
            lookup, _, _, name_rva, thunks = struct.unpack_from("<IIIII", entry)
            names = functions.setdefault(self.cstring(name_rva).lower(), set())
            thunk = self.offset(lookup or thunks)
            size, by_ordinal = (8, 1 << 63) if wide else (4, 1 << 31)
            while True:
                value = struct.unpack_from("<Q" if wide else "<I", self.data, thunk)[0]
                if not value:
                    break
                if not value & by_ordinal:
                    names.add(self.cstring((value & 0x7FFFFFFF) + 2))
                thunk += size
            at += 20
        return functions

    def exports(self):
        rva, _ = self.directory(0)
        if not rva:
            return []
        at = self.offset(rva)
        count, _, names_rva = struct.unpack_from("<III", self.data, at + 24)
        names_at = self.offset(names_rva) if count else 0
        return [self.cstring(struct.unpack_from("<I", self.data, names_at + 4 * i)[0]) for i in range(count)]

    def resources(self):
        """{(type, name): bytes of the first language}; string types and names upper case."""
        rva, _ = self.directory(2)
        if not rva:
            return {}
        base = self.offset(rva)

        def entries(at):
            named, ids = struct.unpack_from("<HH", self.data, base + at + 12)
            for i in range(named + ids):
                key, target = struct.unpack_from("<II", self.data, base + at + 16 + 8 * i)
                if key & 0x80000000:
                    s = base + (key & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, s)[0]
                    key = self.data[s + 2:s + 2 + 2 * length].decode("utf-16-le").upper()
                yield key, target

        found = {}
        for rtype, t in entries(0):
            if not t & 0x80000000:
                continue
            for rname, n in entries(t & 0x7FFFFFFF):
                if not n & 0x80000000:
                    continue
                for _, leaf in entries(n & 0x7FFFFFFF):
                    if leaf & 0x80000000:
                        continue
                    data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(data_rva)
                    if start + size > len(self.data):
                        raise Fault(f"{self.name}: resource {rtype}/{rname} runs past the end of the file")
                    found[(rtype, rname)] = self.data[start:start + size]
                    break
        return found


def dialog_controls(template):
    """[(id, class, style)] of a DIALOGEX template (class is an ordinal or a name)."""
    def sz_or_ord(at):
        first = struct.unpack_from("<H", template, at)[0]
        if first == 0xFFFF:
            return struct.unpack_from("<H", template, at + 2)[0], at + 4
        end = at
        while struct.unpack_from("<H", template, end)[0]:
            end += 2
        return template[at:end].decode("utf-16-le"), end + 2

    version, signature = struct.unpack_from("<HH", template, 0)
    if (version, signature) != (1, 0xFFFF):
        raise Fault("not an extended dialog template")
    style = struct.unpack_from("<I", template, 12)[0]
    count = struct.unpack_from("<H", template, 16)[0]
    at = 26
    _, at = sz_or_ord(at)  # menu
    _, at = sz_or_ord(at)  # class
    _, at = sz_or_ord(at)  # title
    if style & DS_SETFONT:
        _, at = sz_or_ord(at + 6)  # point size, weight, italic, charset, then the face name
    controls = []
    for _ in range(count):
        at = (at + 3) & ~3
        _, _, cstyle = struct.unpack_from("<III", template, at)
        cid = struct.unpack_from("<i", template, at + 20)[0]
        cls, at = sz_or_ord(at + 24)
        _, at = sz_or_ord(at)  # title
        extra = struct.unpack_from("<H", template, at)[0]
        at += 2 + extra
        controls.append((cid, cls, cstyle))
    return controls


def foreign_imports(pe, what):
    """One fault per imported DLL that Windows does not have."""
    return [f"{what} imports {dll}, which Windows does not have"
            for dll in pe.imports() if dll.lower() not in SYSTEM_DLLS]


def loaded_at_start(pe, what):
    """One fault per DLL in the import table that Windows may look for beside the program."""
    return [f"{what} imports {dll} at start, which Windows may load from the program's own folder"
            for dll in pe.imports(tables=((1, 20),)) if dll.lower() not in STATIC_IMPORTS]


def newer_than_minimum(pe, what):
    """One fault per imported function that the oldest supported Windows lacks."""
    return [f"{what} imports {name} from {dll}, which {MINIMUM_WINDOWS} does not have"
            for dll, names in sorted(pe.imported_functions().items())
            for name in sorted(names & NEWER_THAN_MINIMUM.get(dll, set()))]


def check(path):
    faults = []
    with open(path, "rb") as f:
        data = f.read()
    exe = PE(data, path)
    if exe.machine != 0x14C:
        faults.append(f"machine {exe.machine:#x}, not i386")
    if exe.subsystem != 2:
        faults.append(f"subsystem {exe.subsystem}, not a Windows GUI program")
    faults += foreign_imports(exe, "the program")
    faults += loaded_at_start(exe, "the program")
    faults += newer_than_minimum(exe, "the program")

    res = exe.resources()
    manifest = res.get((RT_MANIFEST, 1))
    if manifest is None:
        faults.append("no manifest (resource 24/1)")
    else:
        try:
            root = ET.fromstring(manifest)
            ns = "{urn:schemas-microsoft-com:asm.v1}"
            ident = root.find(ns + "assemblyIdentity")
            if ident is None or ident.get("processorArchitecture") != "x86":
                faults.append("the manifest does not name the x86 architecture")
        except ET.ParseError as e:
            faults.append(f"the manifest is not well-formed XML: {e}")
    if not any(t == RT_VERSION for t, _ in res):
        faults.append("no version information")
    for dialog in PAGE_DIALOGS:
        template = res.get((RT_DIALOG, dialog))
        if template is None:
            faults.append(f"dialog {dialog} missing")
            continue
        try:
            controls = dialog_controls(template)
        except (Fault, struct.error) as e:
            faults.append(f"dialog {dialog}: {e}")
            continue
        ids = [c[0] for c in controls if c[0] not in (-1, 0xFFFF)]
        twice = sorted({i for i in ids if ids.count(i) > 1})
        if twice:
            faults.append(f"dialog {dialog}: control IDs used twice: {twice}")
        if dialog == LANGUAGE_PAGE:
            boxes = [c for c in controls if c[1] in (0x80, "Button", "BUTTON")
                     and c[2] & BS_TYPEMASK == BS_AUTOCHECKBOX and c[2] & BS_BITMAP]
            if len(boxes) != LANGUAGE_COUNT:
                faults.append(f"the language page has {len(boxes)} language boxes, not {LANGUAGE_COUNT}")

    payload = res.get(("RAR", 148))
    if payload is None or not payload.startswith(b"Rar!\x1a\x07"):
        faults.append("the payload (RAR 148) is missing or not a RAR archive")
    library = res.get(("DLL", 147))
    if library is None:
        faults.append("the archive library (DLL 147) is missing")
    else:
        dll = PE(library, "DLL 147")
        if dll.machine != 0x14C or not dll.characteristics & 0x2000:
            faults.append("DLL 147 is not a 32-bit x86 DLL")
        missing = [e for e in UNRAR_EXPORTS if e not in dll.exports()]
        if missing:
            faults.append(f"DLL 147 does not export {missing}")
        faults += foreign_imports(dll, "DLL 147")
    uninstaller = res.get(("EXE", 176))
    if uninstaller is None:
        faults.append("the uninstaller (EXE 176) is missing")
    else:
        prog = PE(uninstaller, "EXE 176")
        if prog.machine != 0x14C or prog.characteristics & 0x2000:
            faults.append("EXE 176 is not a 32-bit x86 program")
        faults += foreign_imports(prog, "EXE 176")
        faults += loaded_at_start(prog, "EXE 176")
        faults += newer_than_minimum(prog, "EXE 176")
    licence = res.get(("RTF", 165))
    if licence is None or not licence.startswith(b"{\\rtf"):
        faults.append("the licence (RTF 165) is missing or not RTF")
    return faults


def main(paths):
    if not paths:
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    status = 0
    for path in paths:
        try:
            faults = check(path)
        except (Fault, struct.error, ValueError, OSError) as e:
            faults = [str(e)]
        for fault in faults:
            print(f"{path}: {fault}")
        if faults:
            status = 1
        else:
            print(f"{path}: passed")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
