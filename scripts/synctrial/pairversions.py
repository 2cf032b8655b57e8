#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Puts back together the versions a sync tool split over a book's files and its conflict
copies: each manifest (the book's and its conflict copies) names the modification time of the
three files of its version, which the tool keeps, so the file of each name whose time matches
belongs to that version. Each version is copied whole into OUT/<host> and read with the driver.

    pairversions.py DRIVER BOOKFOLDER OUT"""
import os
import shutil
import subprocess
import sys


def main():
    driver, book, out = sys.argv[1:4]
    files = os.listdir(book)
    for manifest in sorted(f for f in files if f.startswith("manifest")):
        lines = open(os.path.join(book, manifest)).read().splitlines()
        host = lines[3].split()[1]
        target = os.path.join(out, host)
        shutil.rmtree(target, ignore_errors=True)
        os.makedirs(target)
        paired = True
        for line in lines[4:7]:
            name, _size, mtime, _hash = line.split()
            stem = name.split(".")[0]
            match = [f for f in files if f.startswith(stem + ".") and f.endswith(".vtd")
                     and os.stat(os.path.join(book, f)).st_mtime_ns == int(mtime)]
            if len(match) != 1:
                paired = False
                continue
            shutil.copy2(os.path.join(book, match[0]), os.path.join(target, name))
        shutil.copy2(os.path.join(book, manifest), os.path.join(target, "manifest.vtm"))
        r = subprocess.run([driver, "dump", target], capture_output=True, text=True)
        print(f"{manifest}: host={host} paired={paired} whole={r.returncode == 0} "
              f"words={len(r.stdout.splitlines())} -> {target}")


if __name__ == "__main__":
    main()
