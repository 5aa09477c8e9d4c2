#!/usr/bin/env python3
"""Packs a folder into a RAR archive, reproducibly.

    pack_tree.py --tree DIR --out FILE.rar [--rar PATH] [--unrar PATH]

Every file and folder under DIR is stored with its path relative to DIR
(client/translations/English/..., shown as client\\translations\\English\\...
on Windows), folders as entries of their own. The same tree gives the same
archive bytes:

  - rar gets an explicit, sorted list of names (@list, -r-), so the order
    does not depend on the order the file system returns folder entries in;
  - -mt is fixed: the compressed data depends on the number of compression
    threads, which otherwise follows the number of processors;
  - -cfg- keeps a user's rar configuration and RAR variable out;
  - rar stores no time of its own: file and folder times, modes and names
    come from the tree, so the tree must have fixed times and modes (the
    sample tree generator sees to that).

Other settings: best compression (-m5), not solid (-s-), quick-open record
left out (-qo-), CRC32 checksums (-htc), a 1 MB dictionary (-md1m): the
unpacker writes a file out whenever its window fills, so a file larger than
the dictionary arrives in several data blocks, which keeps the progress of
one large file moving. The archive is written under a temporary name and
renamed into place only after its listing matched the tree.
"""

import argparse
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile

RAR_SWITCHES = ["-cfg-", "-idq", "-y", "-m5", "-s-", "-mt4", "-md1m", "-htc", "-qo-",
                "-r-", "-scfl"]

# Names rar would treat as wildcards or that a list file cannot carry.
_AWKWARD = re.compile(r"[*?\x00-\x1f\x7f]|^\s|\s$")


def fail(message):
    sys.exit(f"pack_tree: {message}")


def tree_names(top):
    """Folders and files under top, relative with '/', folders before their
    contents, each level sorted by name."""
    names = []
    for directory, dirnames, filenames in os.walk(top, onerror=lambda e: fail(
            f"cannot read {e.filename}: {e.strerror}")):
        dirnames.sort()
        for name in sorted(dirnames + filenames):
            path = os.path.join(directory, name)
            relative = os.path.relpath(path, top).replace(os.sep, "/")
            mode = os.lstat(path).st_mode
            if stat.S_ISLNK(mode):
                fail(f"{relative} is a symbolic link")
            if not (stat.S_ISDIR(mode) or stat.S_ISREG(mode)):
                fail(f"{relative} is neither a regular file nor a folder")
            if _AWKWARD.search(name):
                fail(f"{relative!r}: name with a wildcard, control character or "
                     "leading or trailing blank")
            names.append(relative)
    # os.walk visits a level's folders after listing the level, so sort
    # the whole list once more by path components.
    names.sort(key=lambda n: n.split("/"))
    return names


def find_tool(explicit, name):
    found = explicit or shutil.which(name)
    if not found:
        fail(f"{name} not found; run tools/setup.sh as root first")
    return found


def pack(top, out, rar, unrar):
    if not os.path.isdir(top):
        fail(f"{top} is not a folder")
    names = tree_names(top)
    if not names:
        fail(f"{top} is empty")

    out = os.path.abspath(out)
    os.makedirs(os.path.dirname(out), exist_ok=True)
    temporary = out + ".tmp"
    environment = dict(os.environ, LC_ALL="C.UTF-8")
    environment.pop("RAR", None)
    with tempfile.TemporaryDirectory(prefix="pack_tree.") as scratch:
        listing = os.path.join(scratch, "names.lst")
        with open(listing, "w", encoding="utf-8", newline="\n") as f:
            f.write("".join(name + "\n" for name in names))
        if os.path.lexists(temporary):
            os.remove(temporary)  # rar would add to it
        result = subprocess.run([rar, "a"] + RAR_SWITCHES + [temporary, "@" + listing],
                                cwd=top, env=environment, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True, errors="replace")
        if result.returncode != 0:
            fail(f"rar failed with status {result.returncode}:\n{result.stdout.strip()}")

    listed = subprocess.run([unrar, "lb", "-cfg-", "-p-", temporary], env=environment,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            errors="replace")
    stored = listed.stdout.splitlines()
    if listed.returncode != 0 or sorted(stored) != sorted(names):
        missing = sorted(set(names) - set(stored))[:5]
        extra = sorted(set(stored) - set(names))[:5]
        fail(f"the archive does not hold exactly the tree (status {listed.returncode}; "
             f"missing {missing}, unexpected {extra})")
    os.replace(temporary, out)
    return names


def main():
    parser = argparse.ArgumentParser(description="Pack a folder into a RAR archive.")
    parser.add_argument("--tree", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--rar")
    parser.add_argument("--unrar")
    parser.add_argument("--solid", action="store_true", help="one solid archive (smaller, same files)")
    args = parser.parse_args()
    if args.solid:
        RAR_SWITCHES[RAR_SWITCHES.index("-s-")] = "-s"
    pack(args.tree, args.out, find_tool(args.rar, "rar"), find_tool(args.unrar, "unrar"))


if __name__ == "__main__":
    main()
