#!/usr/bin/env python3
"""Writes the German-English word list as a StarDict dictionary (.ifo, .idx, .dict), so that the StarDict
command-line client can look up the same words as zanit-lookup in the lookup benchmark. Headword: the first
German term of a line (before " :: ", "|", ";" and annotations), as the benchmark picks its words; article:
every line of that headword.

usage: stardict.py WORD-LIST FOLDER
"""
import os
import re
import struct
import sys


def headword(line):
    german = line.split(" :: ", 1)[0]
    return re.split(r"[;|{(\[/]", german, 1)[0].strip()


def main(source, folder):
    articles = {}
    with open(source, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#") or " :: " not in line:
                continue
            word = headword(line)
            if word:
                articles.setdefault(word, []).append(line)
    # The clients expect the index sorted as g_ascii_strcasecmp, then strcmp, order it.
    words = sorted(articles, key=lambda w: (w.encode().lower(), w.encode()))
    os.makedirs(folder, exist_ok=True)
    base = os.path.join(folder, "ding")
    index = bytearray()
    with open(base + ".dict", "wb") as data:
        offset = 0
        for w in words:
            text = "\n".join(articles[w]).encode()
            data.write(text)
            index += w.encode() + b"\0" + struct.pack(">II", offset, len(text))
            offset += len(text)
    with open(base + ".idx", "wb") as idx:
        idx.write(index)
    with open(base + ".ifo", "w", encoding="utf-8") as ifo:
        ifo.write("StarDict's dict ifo file\nversion=2.4.2\n")
        ifo.write(f"wordcount={len(words)}\nidxfilesize={len(index)}\nbookname=Ding German-English\n")
        ifo.write("sametypesequence=m\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
