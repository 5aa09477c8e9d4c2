#!/usr/bin/python3
"""Checks a translation tree, or a RAR archive of one, before it becomes the
installer's payload.

    check_payload.py --catalogue core/language_catalogue.cpp --tree DIR
    check_payload.py --catalogue core/language_catalogue.cpp --archive FILE.rar

Refused, with one line per problem on stderr and exit status 1:
  - a language folder of the catalogue missing under client/translations/
    or server/translations/ (names must match exactly), or holding no file;
  - an entry that is a symbolic link, junction, hard link or other
    redirection, or (tree) neither a regular file nor a folder;
  - an absolute path or a '..' path component ('\\' counts as a separator,
    as it does where the payload is unpacked);
  - two paths that differ only in letter case (one would overwrite the other
    on Windows);
  - an archive whose headers cannot be read completely (read with Debian's
    python3-rarfile, every header's checksum checked).
Otherwise prints a one-line summary and exits with status 0.
"""

import argparse
import os
import re
import stat
import sys
from typing import List, NamedTuple, Tuple

import rarfile

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
from payload_catalogue import PAYLOAD_ROOTS, CatalogueError, read_catalogue  # noqa: E402

PREFIX = "payload: "


class Entry(NamedTuple):
    name: str      # as stored or found, for messages
    kind: str      # "file", "dir", or a description of anything else
    size: int


def display(name: str) -> str:
    """The name with control and other unprintable characters escaped."""
    return "".join(c if c.isprintable() else f"\\x{ord(c):02x}" for c in name)


def components(name: str) -> List[str]:
    return [piece for piece in name.replace("\\", "/").split("/") if piece not in ("", ".")]


def path_problems(name: str) -> List[str]:
    problems = []
    unified = name.replace("\\", "/")
    if unified.startswith("/") or re.match(r"[A-Za-z]:", unified):
        problems.append(f"{display(name)}: absolute path")
    if ".." in unified.split("/"):
        problems.append(f"{display(name)}: '..' path component")
    if not components(name):
        problems.append(f"{display(name)!r}: empty name")
    return problems


def check_entries(entries: List[Entry], languages) -> Tuple[List[str], int, int]:
    """Problems of a listing, and its number of files and bytes."""
    problems = []
    files = 0
    total = 0
    by_folded = {}
    for entry in entries:
        problems += path_problems(entry.name)
        if entry.kind == "file":
            files += 1
            total += entry.size
        elif entry.kind != "dir":
            problems.append(f"{display(entry.name)}: {entry.kind}")
        key = "/".join(components(entry.name)).casefold()
        if key in by_folded:
            first = by_folded[key]
            if "/".join(components(first)) == "/".join(components(entry.name)):
                problems.append(f"{display(entry.name)}: stored twice")
            else:
                problems.append(f"{display(first)} and {display(entry.name)}: "
                                "names differ only in letter case")
        else:
            by_folded[key] = entry.name

    # Which folders exist, and which hold a file, exactly as spelled.
    present = set()
    with_files = set()
    for entry in entries:
        segments = components(entry.name)
        for depth in range(1, len(segments) + 1):
            present.add("/".join(segments[:depth]))
        if entry.kind == "file":
            for depth in range(1, len(segments)):
                with_files.add("/".join(segments[:depth]))
    folded_present = {}
    for folder in sorted(present):
        folded_present.setdefault(folder.casefold(), folder)

    for root in PAYLOAD_ROOTS:
        for language in languages:
            folder = f"{root}/{language.folder}"
            if folder not in present:
                near = folded_present.get(folder.casefold())
                hint = f" (found {near!r}: the spelling must match exactly)" if near else ""
                problems.append(f"missing folder {folder}{hint}")
            elif folder not in with_files:
                problems.append(f"folder {folder} holds no file")
    return problems, files, total


def list_tree(top: str) -> Tuple[List[Entry], List[str]]:
    entries = []
    problems = []
    if not os.path.isdir(top):
        return entries, [f"{display(top)}: not a folder"]

    def walk_error(error):
        problems.append(f"{display(error.filename or top)}: cannot read ({error.strerror})")

    for directory, dirnames, filenames in os.walk(top, onerror=walk_error):
        dirnames.sort()
        for name in sorted(dirnames + filenames):
            path = os.path.join(directory, name)
            relative = os.path.relpath(path, top).replace(os.sep, "/")
            try:
                relative.encode("utf-8")
            except UnicodeEncodeError:
                problems.append(f"{display(relative)}: name is not valid UTF-8")
            try:
                info = os.lstat(path)
            except OSError as error:
                problems.append(f"{display(relative)}: cannot read ({error.strerror})")
                continue
            if stat.S_ISLNK(info.st_mode):
                kind = f"symbolic link (to {display(os.readlink(path))})"
                if name in dirnames:
                    dirnames.remove(name)  # os.walk does not follow it anyway
            elif stat.S_ISDIR(info.st_mode):
                kind = "dir"
            elif stat.S_ISREG(info.st_mode):
                kind = "file"
            else:
                kind = "neither a regular file nor a folder"
            entries.append(Entry(relative, kind, info.st_size if kind == "file" else 0))
    return entries, problems


# What rarfile calls the redirections of RAR 5 entries.
REDIRECTIONS = {rarfile.RAR5_XREDIR_UNIX_SYMLINK: "Unix symbolic link",
                rarfile.RAR5_XREDIR_WINDOWS_SYMLINK: "Windows symbolic link",
                rarfile.RAR5_XREDIR_WINDOWS_JUNCTION: "junction", rarfile.RAR5_XREDIR_HARD_LINK: "hard link",
                rarfile.RAR5_XREDIR_FILE_COPY: "copy of another entry"}


def list_archive(archive: str) -> Tuple[List[Entry], List[str]]:
    """The entries of a RAR archive, read from its headers by rarfile (every
    header's checksum checked; a damaged or cut-off listing is refused)."""
    if not os.path.isfile(archive):
        return [], [f"{display(archive)}: no such file"]
    try:
        infos = rarfile.RarFile(archive, errors="strict").infolist()
    except (rarfile.Error, OSError, ValueError) as error:
        return [], [f"{display(archive)}: not a readable RAR archive ({error})"]
    entries = []
    for info in infos:
        if info.file_redir:
            kind, _, target = info.file_redir
            kind = f"link or redirection: {REDIRECTIONS.get(kind, kind)}" + (
                f" (to {display(target)})" if target else "")
        elif info.host_os == rarfile.RAR_OS_UNIX and info.mode is not None and stat.S_ISLNK(info.mode):
            kind = "symbolic link (by its attributes)"
        else:
            kind = "dir" if info.isdir() else "file"
        entries.append(Entry(info.filename, kind, info.file_size if kind == "file" else 0))
    return entries, []


def main():
    parser = argparse.ArgumentParser(description="Check a payload tree or archive.")
    parser.add_argument("--catalogue", required=True, help="core/language_catalogue.cpp")
    source = parser.add_mutually_exclusive_group(required=True)
    source.add_argument("--tree", help="folder holding client/ and server/")
    source.add_argument("--archive", help="RAR archive of such a folder")
    args = parser.parse_args()

    try:
        languages = read_catalogue(args.catalogue)
    except CatalogueError as error:
        sys.exit(PREFIX + str(error))

    if args.tree is not None:
        what = f"tree {args.tree}"
        entries, problems = list_tree(args.tree)
    else:
        what = f"archive {args.archive}"
        entries, problems = list_archive(args.archive)
    if not problems or entries:
        more, files, total = check_entries(entries, languages)
        problems += more
    if problems:
        for problem in problems:
            print(PREFIX + problem, file=sys.stderr)
        print(f"{PREFIX}{what} refused: {len(problems)} problem(s)", file=sys.stderr)
        return 1
    print(f"{PREFIX}{what}: {files} files, {total} bytes, {len(languages)} languages "
          f"under {' and '.join(PAYLOAD_ROOTS)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
