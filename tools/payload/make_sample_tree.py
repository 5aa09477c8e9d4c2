#!/usr/bin/env python3
"""Writes a sample translation tree for the installer's payload.

    make_sample_tree.py --catalogue core/language_catalogue.cpp --out DIR

DIR/client/translations/<Folder>/ and DIR/server/translations/<Folder>/ get,
for each of the 33 languages of the catalogue, Qt Linguist files named
<module>_<tag>.ts and the .qm files lrelease compiles from them; DIR also
gets the client translators' helper script tsqmEnglishCopy.py.

The output is the same, byte for byte, on every run: the text comes from a
seeded generator, files are written in a fixed order, every file gets mode
0644 and every folder 0755, and all of them the same modification time.
DIR must be new or empty.
"""

import argparse
import os
import random
import shutil
import subprocess
import sys
from xml.sax.saxutils import escape

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
from payload_catalogue import PAYLOAD_ROOTS, CatalogueError, read_catalogue  # noqa: E402

# 2026-01-01 00:00:00 UTC, the time stamp of every file and folder.
FIXED_TIME = 1767225600

QM_MAGIC = bytes.fromhex("3cb86418caef9c95cd211cbf60a1bddd")

# A file at least this large makes the extraction of one file arrive in
# several data blocks.
BIG_FILE_MINIMUM = 3 * 1024 * 1024 // 2

# Locale of the translation and the language's own name, by payload folder.
LANGUAGE_DETAILS = {
    "English": ("en_US", "English"),
    "Greek": ("el_GR", "Ελληνικά"),
    "Dutch": ("nl_NL", "Nederlands"),
    "Czech": ("cs_CZ", "Čeština"),
    "Slovak": ("sk_SK", "Slovenčina"),
    "French": ("fr_FR", "Français"),
    "Italian": ("it_IT", "Italiano"),
    "Russian": ("ru_RU", "Русский"),
    "Korean": ("ko_KR", "한국어"),
    "Thai": ("th_TH", "ไทย"),
    "zh_TW": ("zh_TW", "繁體中文"),
    "Bulgarian": ("bg_BG", "Български"),
    "Portuguese": ("pt_PT", "Português"),
    "Spainish": ("es_ES", "Español"),
    "Polish": ("pl_PL", "Polski"),
    "Hungarian": ("hu_HU", "Magyar"),
    "Deutsch": ("de_DE", "Deutsch"),
    "Croatian": ("hr_HR", "Hrvatski"),
    "Finnish": ("fi_FI", "Suomi"),
    "Vietnamese": ("vi_VN", "Tiếng Việt"),
    "Japanese": ("ja_JP", "日本語"),
    "Turkish": ("tr_TR", "Türkçe"),
    "Danish": ("da_DK", "Dansk"),
    "Norwegian": ("nb_NO", "Norsk"),
    "Romanian": ("ro_RO", "Română"),
    "Slovenian": ("sl_SI", "Slovenščina"),
    "Serbian": ("sr_RS", "Српски"),
    "Swedish": ("sv_SE", "Svenska"),
    "Lithuanian": ("lt_LT", "Lietuvių"),
    "PortugueseBrazil": ("pt_BR", "Português (Brasil)"),
    "Arabic": ("ar_SA", "العربية"),
    "Ukrainian": ("uk_UA", "Українська"),
    "Indonesia": ("id_ID", "Bahasa Indonesia"),
}


class Module:
    def __init__(self, name, contexts, messages, english_messages=None, keep_ts=False):
        self.name = name
        self.contexts = contexts
        self.messages = messages                            # per translated language
        self.english_messages = english_messages or messages
        self.keep_ts = keep_ts                              # .ts shipped next to the .qm


CLIENT_MODULES = [
    Module("ZivodOdazar.c",
           ["MainWindow", "DeviceTree", "LiveView", "LayoutEditor", "AlarmCenter", "MapView", "EventList"],
           60, english_messages=8000),
    Module("Framework.c", ["LoginDialog", "MessageBox", "ToolBar", "StatusBar", "AboutDialog"],
           30, keep_ts=True),
    Module("Playback.c", ["PlaybackPanel", "TimeLine", "ClipExport", "BookmarkList", "SearchPanel"], 40),
    Module("Settings.c", ["SettingsDialog", "NetworkPage", "RecordingSchedule", "UserManager", "DisplayPage"],
           45, keep_ts=True),
]
# The English folder is the translators' starting point and holds more.
ENGLISH_ONLY_CLIENT_MODULES = [
    Module("Help.c", ["HelpBrowser", "TipOfTheDay"], 50),
    Module("Wizard.c", ["SetupWizard", "CameraDiscovery"], 70),
]
SERVER_MODULES = [
    Module("Server.s", ["ServerService", "DeviceManager", "EventEngine", "LicenseManager"], 25),
    Module("Storage.s", ["StorageManager", "DiskMonitor", "ArchiveWriter"], 20, keep_ts=True),
]

VERBS = ["add", "delete", "edit", "rename", "export", "import", "search", "refresh", "enable",
         "disable", "start", "stop", "save", "restore", "lock", "unlock", "select", "open", "close",
         "copy", "synchronize", "download", "upload", "configure", "test"]
OBJECTS = ["camera", "channel", "recording", "device", "server", "storage group", "user",
           "user group", "alarm", "event", "layout", "view", "map", "schedule", "preset", "patrol",
           "snapshot", "clip", "bookmark", "license", "log", "disk", "stream", "profile", "password",
           "certificate", "archive", "network adapter", "port", "time zone", "output", "input"]
TEMPLATES = [
    "{V} {o}", "{V} {o}...", "&{V}", "{V} the selected {o}s", "Failed to {v} the {o}.",
    "Are you sure you want to {v} the selected {o}?", "The {o} \"%1\" already exists.",
    "%1 {o}s selected", "{O} name:", "{O} list", "No {o} found.",
    "Cannot connect to the {o} %1 (error %2).", "{O} %1 of %2", "Show {o} details",
    "Last {o}: %1", "Waiting for the {o} to respond...", "{O} settings", "Apply to all {o}s",
    "The {o} is offline.", "Keep {o}s for %1 days", "{O}s & {p}s", "Frame rate < %1 fps for this {o}",
    "Could not {v} the {o}: the {p} is in use.", "You do not have the right to {v} this {o}.",
    "{O} \"%1\" was changed by %2 at %3.",
]


def make_messages(module, count, seed):
    """The module's messages, the same list (and prefix) for every language:
    [(context, source, file, line)], unique per context."""
    rng = random.Random(seed)
    seen = set()
    messages = []
    lines = {context: 20 for context in module.contexts}
    while len(messages) < count:
        context = module.contexts[rng.randrange(len(module.contexts))]
        template = TEMPLATES[rng.randrange(len(TEMPLATES))]
        verb = VERBS[rng.randrange(len(VERBS))]
        obj = OBJECTS[rng.randrange(len(OBJECTS))]
        other = OBJECTS[rng.randrange(len(OBJECTS))]
        source = template.format(v=verb, V=verb.capitalize(), o=obj, O=obj.capitalize(), p=other)
        if (context, source) in seen:
            continue
        seen.add((context, source))
        lines[context] += rng.randint(3, 40)
        messages.append((context, source, f"../src/{context.lower()}.cpp", lines[context]))
    return messages


def translate(source, folder, native, index):
    """Text of one translation, or None for an unfinished one. English
    repeats the source text; the others mark it with their own name."""
    if folder == "English":
        return source if index % 3 == 0 else None
    if index % 10 == 9:
        return None
    return f"[{native}] {source}"


def ts_document(messages, folder, locale, native, own_name=False):
    """A Qt Linguist file of the messages; with own_name, one more context in
    which the language gives its own name."""
    contexts = {}
    for index, (context, source, file, line) in enumerate(messages):
        contexts.setdefault(context, []).append((source, translate(source, folder, native, index),
                                                 file, line))
    pieces = ['<?xml version="1.0" encoding="utf-8"?>\n',
             "<!DOCTYPE TS>\n",
             f'<TS version="2.1" language="{locale}" sourcelanguage="en_US">\n']
    if own_name:
        contexts["LanguageMenu"] = [("Language name", native, "../src/languagemenu.cpp", 31)]
    for context in contexts:
        pieces.append(f"<context>\n    <name>{escape(context)}</name>\n")
        for source, text, file, line in contexts[context]:
            pieces.append("    <message>\n")
            pieces.append(f'        <location filename="{escape(file)}" line="{line}"/>\n')
            pieces.append(f"        <source>{escape(source)}</source>\n")
            if text is None:
                pieces.append('        <translation type="unfinished"></translation>\n')
            else:
                pieces.append(f"        <translation>{escape(text)}</translation>\n")
            pieces.append("    </message>\n")
        pieces.append("</context>\n")
    pieces.append("</TS>\n")
    return "".join(pieces)


HELPER_SCRIPT = '''\
#!/usr/bin/env python3
"""Starts the translation of a new language from the English sources.

    python tsqmEnglishCopy.py <Folder> <tag>

copies every English .ts file of this folder's English/ into <Folder>/,
renaming *_en.ts to *_<tag>.ts and emptying the translations, so that Qt
Linguist opens them as untranslated work. Existing files are never
overwritten.
"""
import os
import re
import sys


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    folder, tag = sys.argv[1], sys.argv[2]
    here = os.path.dirname(os.path.abspath(__file__))
    source_dir = os.path.join(here, "English")
    target_dir = os.path.join(here, folder)
    os.makedirs(target_dir, exist_ok=True)
    for name in sorted(os.listdir(source_dir)):
        if not name.endswith("_en.ts"):
            continue
        target = os.path.join(target_dir, name[:-len("_en.ts")] + "_" + tag + ".ts")
        if os.path.exists(target):
            print("kept", target)
            continue
        with open(os.path.join(source_dir, name), encoding="utf-8") as f:
            text = f.read()
        text = re.sub(r"<translation>.*?</translation>",
                      '<translation type="unfinished"></translation>', text, flags=re.S)
        with open(target, "x", encoding="utf-8", newline="\\n") as f:
            f.write(text)
        print("wrote", target)


if __name__ == "__main__":
    main()
'''


def find_lrelease(explicit):
    if explicit:
        return explicit
    qt5 = "/usr/lib/qt5/bin/lrelease"
    if os.access(qt5, os.X_OK):
        return qt5
    found = shutil.which("lrelease")
    if not found:
        sys.exit("make_sample_tree: lrelease not found (Debian package qttools5-dev-tools); "
                 "run tools/setup.sh as root first")
    return found


def write_text(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def compile_folder(lrelease, folder, ts_files):
    result = subprocess.run([lrelease, "-silent"] + ts_files, cwd=folder,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        sys.exit(f"make_sample_tree: lrelease failed in {folder}:\n{result.stdout}")
    for ts in ts_files:
        qm = os.path.join(folder, ts[:-3] + ".qm")
        try:
            with open(qm, "rb") as f:
                magic = f.read(len(QM_MAGIC))
        except OSError:
            sys.exit(f"make_sample_tree: lrelease wrote no {qm}:\n{result.stdout}")
        if magic != QM_MAGIC:
            sys.exit(f"make_sample_tree: {qm} is not a compiled translation")


def main():
    parser = argparse.ArgumentParser(description="Write the sample translation tree.")
    parser.add_argument("--catalogue", required=True, help="core/language_catalogue.cpp")
    parser.add_argument("--out", required=True, help="new or empty folder for the tree")
    parser.add_argument("--lrelease", help="lrelease program (default: Qt 5's, then PATH)")
    args = parser.parse_args()

    try:
        languages = read_catalogue(args.catalogue)
    except CatalogueError as error:
        sys.exit(f"make_sample_tree: {error}")
    unknown = [lang.folder for lang in languages if lang.folder not in LANGUAGE_DETAILS]
    if unknown:
        sys.exit("make_sample_tree: no locale known for " + ", ".join(unknown))

    out = args.out
    if os.path.lexists(out) and (not os.path.isdir(out) or os.path.islink(out) or os.listdir(out)):
        sys.exit(f"make_sample_tree: {out} exists and is not an empty folder")
    lrelease = find_lrelease(args.lrelease)
    os.makedirs(out, exist_ok=True)

    catalogues = {}
    for module in CLIENT_MODULES + ENGLISH_ONLY_CLIENT_MODULES + SERVER_MODULES:
        catalogues[module.name] = make_messages(
            module, max(module.messages, module.english_messages), seed="quennel/" + module.name)

    biggest = 0
    for root, modules in ((PAYLOAD_ROOTS[0], CLIENT_MODULES), (PAYLOAD_ROOTS[1], SERVER_MODULES)):
        for language in languages:
            locale, native = LANGUAGE_DETAILS[language.folder]
            english = language.folder == "English"
            folder = os.path.join(out, *root.split("/"), language.folder)
            os.makedirs(folder)
            chosen = list(modules)
            if english and root == PAYLOAD_ROOTS[0]:
                chosen += ENGLISH_ONLY_CLIENT_MODULES
            ts_files = []
            for module in chosen:
                count = module.english_messages if english else module.messages
                name = f"{module.name}_{language.tag}.ts"
                write_text(os.path.join(folder, name),
                           ts_document(catalogues[module.name][:count], language.folder, locale,
                                       native, own_name=module.name == "Framework.c"))
                biggest = max(biggest, os.path.getsize(os.path.join(folder, name)))
                ts_files.append(name)
            compile_folder(lrelease, folder, ts_files)
            for module, ts in zip(chosen, ts_files):
                if not (module.keep_ts or english):
                    os.remove(os.path.join(folder, ts))

    write_text(os.path.join(out, "client", "translations", "tsqmEnglishCopy.py"), HELPER_SCRIPT)

    if biggest < BIG_FILE_MINIMUM:
        sys.exit(f"make_sample_tree: the largest file has {biggest} bytes, "
                 f"fewer than {BIG_FILE_MINIMUM}")

    # Same modes and times everywhere; folders last, as writing into a
    # folder changes its time.
    for directory, _, files in os.walk(out, topdown=False):
        for name in files:
            path = os.path.join(directory, name)
            os.chmod(path, 0o644)
            os.utime(path, (FIXED_TIME, FIXED_TIME))
        os.chmod(directory, 0o755)
        os.utime(directory, (FIXED_TIME, FIXED_TIME))


if __name__ == "__main__":
    main()
