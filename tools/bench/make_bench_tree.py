#!/usr/bin/env python3
"""Makes a translation tree for the performance benchmark, deterministically.

    make_bench_tree.py --catalogue core/language_catalogue.cpp --out DIR [--scale 1.0]

At scale 1 it has the shape of a real payload: the 33 language folders under
client/translations and server/translations, 38 client and 9 server files per
language (English 40 and 10, Indonesia 32 and 9), about 150 MB of text that
compresses like Qt translation files (repetitive XML, similar strings across
languages, a few files of several MB). Other scales change the number of files
of each language in proportion and keep the distribution of their sizes, so
that the count of files and the bytes grow together, as a larger payload would.
"""
import argparse
import os
import random
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "payload"))
from payload_catalogue import read_catalogue  # noqa: E402

WORDS = ("camera record playback alarm channel device stream storage user password network video "
         "event schedule search export import preview layout window settings zone motion tour "
         "preset live local remote server client cancel apply delete add edit save open close").split()
TOTAL_BYTES = 150 * 1000 * 1000


def counts(folder):
    if folder == "English":
        return 40, 10
    if folder == "Indonesia":
        return 32, 9
    return 38, 9


def message(rng, language):
    source = " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 6))).capitalize()
    translation = source[::-1] if language != "English" else source
    return ("    <message>\n        <location filename=\"../src/%s.cpp\" line=\"%d\"/>\n"
            "        <source>%s</source>\n        <translation>%s</translation>\n    </message>\n"
            % (rng.choice(WORDS), rng.randint(1, 4000), source, translation))


def write_file(path, size, rng, language, tag):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n<TS version="2.1" language="%s">\n' % tag)
        written = 0
        while written < size:
            block = "<context>\n    <name>%s</name>\n" % rng.choice(WORDS).capitalize()
            block += "".join(message(rng, language) for _ in range(20)) + "</context>\n"
            out.write(block)
            written += len(block)
        out.write("</TS>\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--catalogue", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--scale", type=float, default=1.0)
    args = parser.parse_args()
    languages = read_catalogue(args.catalogue)
    rng = random.Random(20261209)
    plan = []
    for language in languages:
        client, server = counts(language.folder)
        for root, number in (("client", client), ("server", server)):
            for index in range(max(1, round(number * args.scale))):
                plan.append((root, language, index))
    # Sizes: mostly tens of KB, a few of several MB, adding up to the total.
    weights = [rng.lognormvariate(0, 1.2) for _ in plan]
    for big in rng.sample(range(len(plan)), min(len(plan), max(1, round(6 * args.scale)))):
        weights[big] *= 40
    scale = TOTAL_BYTES * args.scale / sum(weights)
    for (root, language, index), weight in zip(plan, weights):
        folder = os.path.join(args.out, root, "translations", language.folder)
        os.makedirs(folder, exist_ok=True)
        ext = ".ts" if index % 5 == 0 else ".qm"
        name = "%s%02d.%s_%s%s" % ("Module" if root == "client" else "Service", index, root[0], language.tag, ext)
        write_file(os.path.join(folder, name), int(weight * scale), rng, language.folder, language.tag)
    with open(os.path.join(args.out, "client", "translations", "tsqmEnglishCopy.py"), "w") as out:
        out.write("# Copies the English sources as templates for new translations.\n")
    print("bench tree: %d files in %s" % (len(plan) + 1, args.out))


if __name__ == "__main__":
    main()
