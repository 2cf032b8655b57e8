#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Two faults the sync trial met, shown without a sync tool, in a few seconds each.

    repro.py DRIVER [WORK]

marks-first: the record files of a deletion arrive before the word file (a sync tool copies
  them one at a time and keeps their times). The mark is in the middle of a record file of the
  same size, and the word file is the old one, so the set passes its manifest; the book opens and
  the deleted word reads ###.
doubled-word: a book with one word registered twice (two meanings) gets a conflict copy; merging
  it keeps only one of the two entries, without a question."""
import os
import shutil
import subprocess
import sys


def hold(driver, folder, lines):
    p = subprocess.run([driver, "hold", folder], input="".join(l + "\n" for l in lines),
                       capture_output=True, text=True)
    assert p.returncode == 0, p.stdout + p.stderr


def dump(driver, folder):
    r = subprocess.run([driver, "dump", folder], capture_output=True, text=True)
    return r.returncode, r.stdout.splitlines()


def marks_first(driver, work):
    x, y = os.path.join(work, "X"), os.path.join(work, "Y")
    subprocess.run([driver, "gen", x, "2000"], check=True, capture_output=True)
    shutil.copytree(x, y)
    word = dump(driver, x)[1][700].split("\t")[0]
    p = subprocess.Popen([driver, "hold", y], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                         text=True)
    p.stdout.readline()
    p.stdin.write(f"del\t{word}\n")
    p.stdin.flush()
    p.stdout.readline()
    for name in ("means.vtd", "reis.vtd"):
        shutil.copy2(os.path.join(y, name), os.path.join(x, ".arriving"))
        os.rename(os.path.join(x, ".arriving"), os.path.join(x, name))
    code, lines = dump(driver, x)
    p.communicate("close\n")
    shown = [l for l in lines if l.startswith(word + "\t")]
    print(f"marks-first: dump exit {code} (3 = refused as mixed); {word} reads {shown}")


def doubled_word(driver, work):
    book, copy = os.path.join(work, "book"), os.path.join(work, "copy")
    os.makedirs(book)
    hold(driver, book, ["reg\tdup\t意味一\tfirst", "reg\tdup\t意味二\tsecond",
                        "reg\tother\t別\tx", "close"])
    shutil.copytree(book, copy)
    hold(driver, copy, ["reg\tnew\t新\ty", "close"])
    for name in ("words", "means", "reis"):
        shutil.copy2(os.path.join(copy, name + ".vtd"),
                     os.path.join(book, name + ".sync-conflict-20261208-000000-AAAAAAA.vtd"))
    before = dump(driver, book)[1]
    subprocess.run([driver, "merge", book, os.path.join(work, "aside")], check=True,
                   capture_output=True)
    after = dump(driver, book)[1]
    print(f"doubled-word: before {before}\n              after  {after}")


def main():
    driver = sys.argv[1]
    work = sys.argv[2] if len(sys.argv) > 2 else "/tmp/synctrial-repro"
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    marks_first(driver, os.path.join(work, "marks"))
    doubled_word(driver, os.path.join(work, "doubled"))


if __name__ == "__main__":
    main()
