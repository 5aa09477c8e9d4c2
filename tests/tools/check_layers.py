#!/usr/bin/env python3
"""Holds the installer's folders to their floors.

Each floor includes only floors below it (and the one list of resource IDs):

    core/       platform-free rules and data, no <windows.h>
    system/     Windows services that show no window
    framework/  the dialog layer; nothing of the project outside itself
    pages/      the windows
    app/        the program: the only place that shows a message box or
                decides how the process ends

No file ends the process (exit, ExitProcess, abort): the program's entry
returns the run's exit status. Below app/ no file shows a message box; the
framework's own message-box function is defined there and called from app/
only, and system/ tells nobody anything (its calls return what happened).
Pages show what they are given and read neither the registry, nor the
client, nor the engine.

    check_layers.py REPOSITORY
Exit status 0 when every file keeps to its floor; each breach is printed.
"""
import os
import re
import sys

ALLOWED = {
    "core": {"core", "resources"},
    "system": {"system", "core", "resources"},
    "framework": {"framework"},
    "pages": {"pages", "framework", "system", "core", "resources"},
    "app": {"app", "pages", "framework", "system", "core", "resources"},
}
PROJECT = set(ALLOWED) | {"resources", "tests", "tools", "uninstaller"}
PAGES_MUST_NOT = {"system/client_probe.h", "system/extraction.h", "system/registry_text.h", "system/instance.h",
                  "system/config_update.h", "system/receipt_store.h", "system/start_program.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.M)
ENDS = re.compile(r"\b(?:std::)?(?:exit|_exit|abort|ExitProcess|quick_exit)\s*\(")
BOXES = re.compile(r"\b(?:MessageBox[AW]?|MessageBoxEx[AW]?|ShowMessageBox)\s*\(")
WINDOWS = re.compile(r"^(windows|winbase|winuser|wingdi|winreg|commctrl|shellapi|tlhelp32)\.h$", re.I)


def code_of(text):
    """The text without comments and string literals."""
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    text = re.sub(r"//[^\n]*", " ", text)
    return re.sub(r'"(?:\\.|[^"\\\n])*"', '""', text)


def breaches(repo):
    found = []
    for floor in ALLOWED:
        folder = os.path.join(repo, floor)
        for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
            if not name.endswith((".h", ".cpp")):
                continue
            where = f"{floor}/{name}"
            with open(os.path.join(folder, name), encoding="utf-8") as source:
                text = source.read()
            for header in INCLUDE.findall(text):
                top = header.split("/", 1)[0]
                if "/" in header and top in PROJECT and top not in ALLOWED[floor]:
                    found.append(f"{where} includes {header}, from {top}/, which {floor}/ must not know")
                if floor == "core" and WINDOWS.match(header):
                    found.append(f"{where} includes <{header}>: core/ is platform-free")
                if floor == "system" and header == "core/user_messages.h":
                    found.append(f"{where} includes {header}: the services return what happened and tell nobody")
                if floor == "pages" and header in PAGES_MUST_NOT:
                    found.append(f"{where} includes {header}: a page shows a state, the program does the work")
            code = code_of(text)
            if ENDS.search(code):
                found.append(f"{where} ends the process: the program's entry returns its exit status")
            if floor == "app":
                continue
            for call in BOXES.finditer(code):
                if floor == "framework" and re.search(r"\bint\s+ShowMessageBox\s*\(", code):
                    # the framework's own function: defined there, called from app/ only
                    if call.group(0).startswith("MessageBox") or "int ShowMessageBox" in code[call.start() - 4:call.end()]:
                        continue
                found.append(f"{where} shows a message box: only app/ does")
                break
    return found


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    found = breaches(argv[1])
    for line in found:
        print(line)
    print(f"layers: {'kept' if not found else f'{len(found)} breaches'}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
