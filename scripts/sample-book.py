#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a 100-word sample book "英単語" with its language set into the application folder
given as the argument, for the screenshot scripts."""
import os, random, sys
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from screenshotfiles import write_book
random.seed(7)
words = ["apple", "apricot", "Avocado", "banana", "blossom", "cherry", "chestnut", "dawn", "delight", "eager",
         "echo", "fable", "fathom", "gather", "glimpse", "harbor", "hollow", "idle", "ivory", "jest"]
while len(words) < 100:
    w = "".join(random.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(random.randint(4, 9)))
    if w not in words:
        words.append(w)
meanings = ["りんご", "あんず", "アボカド", "バナナ", "花", "さくらんぼ", "栗", "夜明け", "喜び", "熱心な"]
write_book(sys.argv[1], [(w, meanings[i] if i < len(meanings) else "意味の例 %d" % (i + 1),
                          "This is an example for %s." % w) for i, w in enumerate(words)])
