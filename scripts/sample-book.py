#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a 100-word sample book "英単語" with its language set into the application folder
given as the argument, for the screenshot scripts."""
import random, sys, os
home = sys.argv[1]
book = os.path.join(home, "英単語")
os.makedirs(book)
random.seed(7)
words = ["apple", "apricot", "Avocado", "banana", "blossom", "cherry", "chestnut", "dawn", "delight", "eager",
         "echo", "fable", "fathom", "gather", "glimpse", "harbor", "hollow", "idle", "ivory", "jest"]
while len(words) < 100:
    w = "".join(random.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(random.randint(4, 9)))
    if w not in words:
        words.append(w)
meanings = ["りんご", "あんず", "アボカド", "バナナ", "花", "さくらんぼ", "栗", "夜明け", "喜び", "熱心な"]
with open(os.path.join(book, "words.vtd"), "wb") as wf, open(os.path.join(book, "means.vtd"), "wb") as mf, \
        open(os.path.join(book, "reis.vtd"), "wb") as rf:
    for i, w in enumerate(words):
        wf.write(('"%s",%d\r\n' % (w, i + 1)).encode("cp932"))
        m = meanings[i] if i < len(meanings) else "意味の例 %d" % (i + 1)
        mf.write(m.encode("cp932").ljust(200, b" "))
        rf.write(("This is an example for %s." % w).encode("cp932").ljust(400, b" "))
open(os.path.join(home, "curFData.vtd"), "wb").write('"英単語","英語ｾｯﾄ"\r\n'.encode("cp932"))
open(os.path.join(home, "英語ｾｯﾄ.vtd"), "wb").write("".join('"%s","%s",1\r\n' % (chr(65 + i), chr(65 + i)) for i in range(26)).encode("cp932"))
