#!/usr/bin/python3
"""Writes the archives the extraction engine's tests open.

    make_test_archives.py --out DIR [--rar PATH] [--unrar PATH]

DIR (new or empty) receives:
  small/             6 files in 3 folders: 0 bytes, 1 byte, a few KB, and
                     media/clip.bin of about 3 MB, partly random and partly
                     repetitive, larger than the 1 MB dictionary, so its
                     extraction arrives in several data blocks; and the empty
                     folder empty/, which only its folder entry creates (folder
                     entries come after all file data in the archive)
  small.rar          small/ packed like the payload (relative names, folder
                     entries), by pack_tree.py
  nodata/, nodata.rar  only empty files and folders: unpacked size 0
  notanarchive.rar   a text file
  damaged.rar        small.rar cut off in the middle of clip.bin's data:
                     it opens, the entries before clip.bin extract, clip.bin
                     and everything after it fail

Each archive is checked (listed by rarfile, tested by unrar) for the property
it is made for before the script succeeds. Same bytes on every run.
"""

import argparse
import os
import random
import subprocess
import sys

import rarfile

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
from pack_tree import find_tool, pack, tree_names  # noqa: E402

FIXED_TIME = 1767225600  # 2026-01-01 00:00:00 UTC
BIG_NAME = "media/clip.bin"


def fail(message):
    sys.exit(f"make_test_archives: {message}")


def text_lines(rng, count, width):
    words = ["camera", "stream", "archive", "record", "frame", "server", "channel", "event",
             "layout", "storage", "alarm", "preset", "client", "install", "language"]
    lines = []
    for number in range(1, count + 1):
        line = f"{number:04d} " + " ".join(rng.choice(words) for _ in range(width))
        lines.append(line)
    return ("\n".join(lines) + "\n").encode("ascii")


def clip_bytes(rng, size):
    """Half random blocks, half repeated patterns with some noise: the
    compressor has work to do and still cannot squeeze it to nothing."""
    out = bytearray()
    while len(out) < size:
        if rng.random() < 0.5:
            out += rng.randbytes(4096)
        else:
            pattern = rng.randbytes(rng.randint(8, 64))
            block = bytearray((pattern * (4096 // len(pattern) + 1))[:4096])
            for _ in range(16):
                block[rng.randrange(4096)] = rng.randrange(256)
            out += block
    return bytes(out[:size])


SMALL_FILES = [
    ("alpha/nested/empty.dat", lambda rng: b""),
    ("alpha/nested/one.txt", lambda rng: b"1"),
    ("alpha/readme.txt", lambda rng: text_lines(rng, 60, 6)),
    (BIG_NAME, lambda rng: clip_bytes(rng, 3 * 1024 * 1024 + 4321)),
    ("media/notes.txt", lambda rng: text_lines(rng, 90, 8)),
    ("zlast.txt", lambda rng: text_lines(rng, 30, 10)),
]
SMALL_FOLDERS = ["empty"]
NODATA_FILES = [
    ("blank.txt", lambda rng: b""),
    ("empty/inner/zero.dat", lambda rng: b""),
    ("empty/none.txt", lambda rng: b""),
]
NODATA_FOLDERS = ["empty/inner/deeper", "hollow"]


def write_tree(top, files, folders=()):
    rng = random.Random("quennel/test-archives/" + os.path.basename(top))
    os.makedirs(top)
    for folder in folders:
        os.makedirs(os.path.join(top, *folder.split("/")), exist_ok=True)
    for name, make in files:
        path = os.path.join(top, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(make(rng))
    for directory, _, names in os.walk(top, topdown=False):
        for name in names:
            path = os.path.join(directory, name)
            os.chmod(path, 0o644)
            os.utime(path, (FIXED_TIME, FIXED_TIME))
        os.chmod(directory, 0o755)
        os.utime(directory, (FIXED_TIME, FIXED_TIME))


def run(tool, *arguments):
    environment = dict(os.environ, LC_ALL="C.UTF-8")
    environment.pop("RAR", None)
    return subprocess.run([tool, *arguments], env=environment, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, errors="replace")


def listing(archive):
    """[(name, is a folder, size)] of an archive's entries, read by rarfile."""
    return [(i.filename, i.isdir(), i.file_size) for i in rarfile.RarFile(archive, errors="strict").infolist()]


def main():
    parser = argparse.ArgumentParser(description="Write the extraction test archives.")
    parser.add_argument("--out", required=True)
    parser.add_argument("--rar")
    parser.add_argument("--unrar")
    args = parser.parse_args()
    rar = find_tool(args.rar, "rar")
    unrar = find_tool(args.unrar, "unrar")

    out = args.out
    if os.path.lexists(out) and (not os.path.isdir(out) or os.path.islink(out) or os.listdir(out)):
        fail(f"{out} exists and is not an empty folder")
    os.makedirs(out, exist_ok=True)

    small = os.path.join(out, "small")
    write_tree(small, SMALL_FILES, SMALL_FOLDERS)
    small_rar = os.path.join(out, "small.rar")
    pack(small, small_rar, rar, unrar)

    nodata = os.path.join(out, "nodata")
    write_tree(nodata, NODATA_FILES, NODATA_FOLDERS)
    nodata_rar = os.path.join(out, "nodata.rar")
    pack(nodata, nodata_rar, rar, unrar)

    notanarchive = os.path.join(out, "notanarchive.rar")
    with open(notanarchive, "w", encoding="ascii", newline="\n") as f:
        f.write("This is a plain text file with a .rar name. It is not a RAR archive:\n"
                "opening it as one must fail cleanly.\n")

    try:
        clip = rarfile.RarFile(small_rar, errors="strict").getinfo(BIG_NAME)
        small_entries = listing(small_rar)
        nodata_entries = listing(nodata_rar)
    except rarfile.Error as error:
        fail(f"cannot read {small_rar} or {nodata_rar}: {error}")
    with open(small_rar, "rb") as f:
        archive = f.read()
    damaged = os.path.join(out, "damaged.rar")
    with open(damaged, "wb") as f:
        f.write(archive[:clip.data_offset + clip.compress_size // 2])

    # Each archive must have the property it exists for.
    files = {name: size for name, folder, size in small_entries if not folder}
    folders = {name for name, folder, _ in small_entries if folder}
    expected = {name: os.path.getsize(os.path.join(small, *name.split("/")))
                for name, _ in SMALL_FILES}
    if files != expected or folders != {"alpha", "alpha/nested", "empty", "media"}:
        fail(f"{small_rar} does not list the small tree: {small_entries}")
    if clip.compress_size < 1024 * 1024 or clip.compress_size >= expected[BIG_NAME]:
        fail(f"{BIG_NAME} is packed into {clip.compress_size} bytes: not compressed, or too small")
    if run(unrar, "t", "-cfg-", "-p-", small_rar).returncode != 0:
        fail(f"{small_rar} does not test clean")

    if (len(nodata_entries) != len(tree_names(nodata)) or any(size for _, _, size in nodata_entries)
            or run(unrar, "t", "-cfg-", "-p-", nodata_rar).returncode != 0):
        fail(f"{nodata_rar} is not an archive of only empty entries: {nodata_entries}")

    if rarfile.is_rarfile(notanarchive):
        fail(f"{notanarchive} is read as an archive")

    tested = run(unrar, "t", "-cfg-", "-p-", damaged)
    passed = [line for line in tested.stdout.splitlines() if line.rstrip().endswith("OK")]
    names = run(unrar, "lb", "-cfg-", "-p-", damaged).stdout.splitlines()
    if (tested.returncode == 0 or len(passed) != 3 or BIG_NAME not in tested.stdout
            or not names or names[0] != SMALL_FILES[0][0]):
        fail(f"{damaged} does not open and fail at {BIG_NAME}:\n{tested.stdout}")


if __name__ == "__main__":
    main()
