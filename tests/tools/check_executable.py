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
- its delay-loaded functions work (and the uninstaller's): each entry named,
  its address slot starting at its own loading stub in .text (relocated, the
  stub naming the slot), and the DLL exporting it (read from a copy of the
  Windows DLLs: Wine's 32-bit ones by default);
- its resources: a well-formed x86 manifest, version information, every page
  dialog, each dialog's control IDs unique, the language page's 33 language boxes;
- what it carries: the payload is a RAR archive, the archive library a 32-bit
  DLL exporting the library's entry points, the uninstaller a 32-bit program,
  the licence an RTF text.

  check_executable.py [--dlls=FOLDER] INSTALLER.exe [INSTALLER.exe ...]
Exit status 0 when every file passes; each fault is printed.
"""
import os
import re
import struct
import sys
import xml.etree.ElementTree as ET

import pefile

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


class Image:
    """One PE file as pefile reads it, with the few questions this check asks."""

    def __init__(self, data, name):
        self.name = name
        try:
            self.pe = pefile.PE(data=data, fast_load=True)
        except pefile.PEFormatError as e:
            raise Fault(f"{name}: {e}") from e
        self.pe.parse_data_directories(directories=[
            pefile.DIRECTORY_ENTRY[d] for d in (
                "IMAGE_DIRECTORY_ENTRY_IMPORT", "IMAGE_DIRECTORY_ENTRY_EXPORT",
                "IMAGE_DIRECTORY_ENTRY_RESOURCE", "IMAGE_DIRECTORY_ENTRY_BASERELOC")])
        self.machine = self.pe.FILE_HEADER.Machine
        self.is_dll = self.pe.is_dll()
        self.pe32 = self.pe.OPTIONAL_HEADER.Magic == 0x10B
        self.subsystem = self.pe.OPTIONAL_HEADER.Subsystem
        self.base = self.pe.OPTIONAL_HEADER.ImageBase

    def static_imports(self):
        """{dll (as named): names imported by name} from the import table."""
        return {entry.dll.decode("latin-1"): {i.name.decode("latin-1") for i in entry.imports if i.name}
                for entry in getattr(self.pe, "DIRECTORY_ENTRY_IMPORT", [])}

    def exports(self):
        directory = getattr(self.pe, "DIRECTORY_ENTRY_EXPORT", None)
        return {s.name.decode("latin-1") for s in directory.symbols if s.name} if directory else set()

    def relocated(self):
        """RVAs of the 32-bit addresses the loader relocates."""
        return {e.rva for block in getattr(self.pe, "DIRECTORY_ENTRY_BASERELOC", [])
                for e in block.entries if e.type == 3}

    def resources(self):
        """{(type, name): bytes of the first language}; string types and names upper case."""
        found = {}
        root = getattr(self.pe, "DIRECTORY_ENTRY_RESOURCE", None)
        for rtype in root.entries if root else []:
            tkey = str(rtype.name).upper() if rtype.name is not None else rtype.id
            for rname in getattr(rtype, "directory", None) and rtype.directory.entries or []:
                nkey = str(rname.name).upper() if rname.name is not None else rname.id
                languages = getattr(rname, "directory", None)
                if not languages or not languages.entries:
                    continue
                leaf = languages.entries[0].data.struct
                found[(tkey, nkey)] = self.pe.get_data(leaf.OffsetToData, leaf.Size)
        return found

    def section_of(self, rva):
        return next((s for s in self.pe.sections if s.contains_rva(rva)), None)

    def delay_descriptors(self):
        """The delay-import descriptors: (RVA, grAttrs, szName, phmod, pIAT, pINT, ...).

        GNU ld leaves the delay-import data directory empty, so the records
        are found where they lie: 32 bytes whose attributes say RVA form, whose
        time stamp is 0 and whose name, module handle, slots and names lie in
        the image, the name being a DLL's file name."""
        size = self.pe.OPTIONAL_HEADER.SizeOfImage
        found = []
        for section in self.pe.sections:
            if section.Name.rstrip(b"\0") in (b".rsrc", b".reloc") or section.Name.startswith(b".debug"):
                continue
            data = section.get_data()
            at = data.find(b"\1\0\0\0")
            while at != -1:
                if at % 4 == 0 and at + 32 <= len(data):
                    record = struct.unpack_from("<8I", data, at)
                    if record[7] == 0 and all(0 < v < size for v in record[1:5]) and record[3] != record[4]:
                        try:
                            name = self.pe.get_string_at_rva(record[1], 64).decode("latin-1")
                        except pefile.PEFormatError:
                            name = ""
                        if re.fullmatch(r"[A-Za-z0-9_.-]+\.dll", name, re.IGNORECASE):
                            found.append((section.VirtualAddress + at, name) + record[2:])
                at = data.find(b"\1\0\0\0", at + 1)
        return found

    def delay_imports(self):
        """[(dll, [(name or #ordinal, slot RVA, initial slot value)])] of every descriptor."""
        result = []
        for _, dll, _, iat, names, *_ in self.delay_descriptors():
            entries = []
            for i in range(0x10000):
                lookup = self.pe.get_dword_at_rva(names + 4 * i)
                if not lookup:
                    break
                if lookup & 0x80000000:
                    name = f"#{lookup & 0xFFFF}"
                else:
                    name = self.pe.get_string_at_rva(lookup + 2, 256).decode("latin-1")
                entries.append((name, iat + 4 * i, self.pe.get_dword_at_rva(iat + 4 * i)))
            result.append((dll, entries))
        return result


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


def foreign_imports(image, what):
    """One fault per imported or delay-imported DLL that Windows does not have."""
    dlls = list(image.static_imports()) + [dll for dll, _ in image.delay_imports()]
    return [f"{what} imports {dll}, which Windows does not have" for dll in dlls if dll.lower() not in SYSTEM_DLLS]


def loaded_at_start(image, what):
    """One fault per DLL in the import table that Windows may look for beside the program."""
    return [f"{what} imports {dll} at start, which Windows may load from the program's own folder"
            for dll in image.static_imports() if dll.lower() not in STATIC_IMPORTS]


def newer_than_minimum(image, what):
    """One fault per imported function that the oldest supported Windows lacks."""
    return [f"{what} imports {name} from {dll.lower()}, which {MINIMUM_WINDOWS} does not have"
            for dll, names in sorted(image.static_imports().items())
            for name in sorted(names & NEWER_THAN_MINIMUM.get(dll.lower(), set()))]


def system_dll_exports(dll, folder, cache={}):
    """Export names of a Windows DLL as the copy in folder has them (None: no copy)."""
    key = (folder, dll.lower())
    if key not in cache:
        path = next((os.path.join(folder, f) for f in (os.listdir(folder) if os.path.isdir(folder) else [])
                     if f.lower() == dll.lower()), None)
        if path is None:
            cache[key] = None
        else:
            with open(path, "rb") as f:
                cache[key] = Image(f.read(), path).exports()
    return cache[key]


def broken_delay_imports(image, what, dlls):
    """One fault per delay-imported entry that cannot work.

    Each entry's address slot must start out at the entry's own loading stub:
    an address the loader relocates, inside .text, at code that names the
    slot (the stub hands the slot to the helper that loads the DLL and fills
    it). A slot left at 0 (a stub the linker dropped) makes the first call
    jump to address 0. And the DLL must export the entry, or the first call
    fails to resolve it."""
    faults = []
    relocated = image.relocated()
    for dll, entries in image.delay_imports():
        if not entries:
            faults.append(f"{what} delay-loads {dll} without naming an entry")
        exports = system_dll_exports(dll, dlls)
        if exports is None:
            faults.append(f"{what} delay-loads {dll}, and {dlls} has no copy of it to compare exports with")
        for name, slot, value in entries:
            where = f"{what}: the address slot of {dll}!{name}"
            stub = value - image.base
            section = image.section_of(stub) if value else None
            if not value:
                faults.append(f"{where} holds 0, not its delay-load stub")
            elif section is None or section.Name.rstrip(b"\0") != b".text":
                faults.append(f"{where} holds {value:#x}, outside .text")
            elif slot not in relocated:
                faults.append(f"{where} is not relocated: it holds {value:#x} wherever the image loads")
            elif struct.pack("<I", image.base + slot) not in image.pe.get_data(stub, 16):
                faults.append(f"{where} points at code that does not name the slot")
            if name.startswith("#"):
                faults.append(f"{what} delay-loads {dll} entry {name} by ordinal, not by name")
            elif exports is not None and name not in exports:
                faults.append(f"{what} delay-loads {name} from {dll}, which does not export it")
    return faults


def check(path, dlls):
    faults = []
    with open(path, "rb") as f:
        data = f.read()
    exe = Image(data, path)
    if exe.machine != 0x14C or not exe.pe32:
        faults.append(f"machine {exe.machine:#x}, not a 32-bit i386 image")
    if exe.subsystem != 2:
        faults.append(f"subsystem {exe.subsystem}, not a Windows GUI program")
    faults += foreign_imports(exe, "the program")
    faults += loaded_at_start(exe, "the program")
    faults += newer_than_minimum(exe, "the program")
    faults += broken_delay_imports(exe, "the program", dlls)

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
        dll = Image(library, "DLL 147")
        if dll.machine != 0x14C or not dll.is_dll:
            faults.append("DLL 147 is not a 32-bit x86 DLL")
        missing = [e for e in UNRAR_EXPORTS if e not in dll.exports()]
        if missing:
            faults.append(f"DLL 147 does not export {missing}")
        faults += foreign_imports(dll, "DLL 147")
    uninstaller = res.get(("EXE", 176))
    if uninstaller is None:
        faults.append("the uninstaller (EXE 176) is missing")
    else:
        prog = Image(uninstaller, "EXE 176")
        if prog.machine != 0x14C or prog.is_dll:
            faults.append("EXE 176 is not a 32-bit x86 program")
        faults += foreign_imports(prog, "EXE 176")
        faults += loaded_at_start(prog, "EXE 176")
        faults += newer_than_minimum(prog, "EXE 176")
        faults += broken_delay_imports(prog, "EXE 176", dlls)
    licence = res.get(("RTF", 165))
    if licence is None or not licence.startswith(b"{\\rtf"):
        faults.append("the licence (RTF 165) is missing or not RTF")
    return faults


WINE_DLLS = "/usr/lib/i386-linux-gnu/wine/i386-windows"


def main(args):
    dlls = next((a.split("=", 1)[1] for a in args if a.startswith("--dlls=")), WINE_DLLS)
    paths = [a for a in args if not a.startswith("--dlls=")]
    if not paths:
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    status = 0
    for path in paths:
        try:
            faults = check(path, dlls)
        except (Fault, pefile.PEFormatError, struct.error, ValueError, OSError) as e:
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
