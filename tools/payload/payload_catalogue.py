"""The language table of the installer, read from core/language_catalogue.cpp.

The C++ table is the one source of truth for the 33 languages; the payload
tools read it instead of keeping a second list. An entry looks like

    {1, "0", 1007, 229, "English", "en"},

that is: position, code, check box, label, payload folder, file tag.
"""

import re
from typing import List, NamedTuple

LANGUAGE_COUNT = 33

# The two roots of the payload; every language has a folder under each.
PAYLOAD_ROOTS = ("client/translations", "server/translations")

_ENTRY = re.compile(
    r'\{\s*(\d+)\s*,\s*"([^"\\]*)"\s*,\s*(\w+)\s*,\s*(\w+)\s*,'
    r'\s*"([^"\\]*)"\s*,\s*"([^"\\]*)"\s*(?:,\s*"[^"\\]*"\s*)?\}')

_FOLDER = re.compile(r"[A-Za-z0-9_]+\Z")
_TAG = re.compile(r"[A-Za-z0-9]+\Z")


class Language(NamedTuple):
    position: int
    code: str
    check_box: str  # the control's name in resources/resource.h (or its number)
    label: str
    folder: str
    tag: str


class CatalogueError(Exception):
    pass


def read_catalogue(path: str) -> List[Language]:
    """Returns the languages in table order; raises CatalogueError when the
    file does not hold exactly one well-formed table of 33 entries."""
    try:
        with open(path, encoding="utf-8") as source:
            text = source.read()
    except OSError as error:
        raise CatalogueError(f"cannot read {path}: {error.strerror}") from error

    # Comments could hold example entries; only code counts.
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    text = re.sub(r"//[^\n]*", " ", text)

    languages = [
        Language(int(m[1]), m[2], m[3], m[4], m[5], m[6])
        for m in _ENTRY.finditer(text)
    ]
    if len(languages) != LANGUAGE_COUNT:
        raise CatalogueError(
            f"{path}: found {len(languages)} language entries, expected {LANGUAGE_COUNT}")

    problems = []
    for index, language in enumerate(languages, start=1):
        if language.position != index:
            problems.append(f"entry {index} has position {language.position}")
        if not _FOLDER.match(language.folder):
            problems.append(f"entry {index} has an unusable folder name {language.folder!r}")
        if not _TAG.match(language.tag):
            problems.append(f"entry {index} has an unusable file tag {language.tag!r}")
    for field in ("code", "check_box", "folder", "tag"):
        values = [getattr(language, field) for language in languages]
        doubles = sorted({str(v) for v in values if values.count(v) > 1})
        if doubles:
            problems.append(f"{field} used twice: {', '.join(doubles)}")
    folded = [language.folder.lower() for language in languages]
    if len(set(folded)) != len(folded):
        problems.append("two folder names differ only in letter case")
    if problems:
        raise CatalogueError(f"{path}: " + "; ".join(problems))
    return languages
