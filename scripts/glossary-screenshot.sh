#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshot of the editor's book-words panel in docs/: a Japanese original whose first
# sentence holds words of the book, the panel listing them beside the panes and the words marked
# in the original. Needs xvfb, xwd (x11-apps), xdotool and netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 - "$home" <<'PY'
import os, sys
home = sys.argv[1]
book = os.path.join(home, "英単語")
os.makedirs(book)
words = [("吾輩", "わたし（尊大な言い方）", "吾輩は猫である。"), ("猫", "cat", "I am a cat."),
         ("名前", "name", "As yet I have no name."), ("見当", "guess; idea", "見当がつかぬ。"),
         ("薄暗い", "dim", "It was a dim and damp place."), ("記憶", "memory", "記憶している。"),
         ("remember", "覚えている", "I do not remember where I was born.")]
with open(os.path.join(book, "words.vtd"), "wb") as wf, open(os.path.join(book, "means.vtd"), "wb") as mf, \
        open(os.path.join(book, "reis.vtd"), "wb") as rf:
    for i, (w, m, e) in enumerate(words):
        wf.write(('"%s",%d\r\n' % (w, i + 1)).encode("cp932"))
        mf.write(m.encode("cp932").ljust(200, b" "))
        rf.write(e.encode("cp932").ljust(400, b" "))
open(os.path.join(home, "curFData.vtd"), "wb").write('"英単語","英語ｾｯﾄ"\r\n'.encode("cp932"))
open(os.path.join(home, "英語ｾｯﾄ.vtd"), "wb").write("".join('"%s","%s",1\r\n' % (chr(65 + i), chr(65 + i)) for i in range(26)).encode("cp932"))
open(os.path.join(home, "glossary.ini"), "wb").write(b"enabled=1\nvisible=1\nhighlight=1\n")
original = os.path.join(home, "wagahai.txt")
open(original, "wb").write(("吾輩は猫である。名前はまだ無い。\r\n"
                            "どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
                            "ニャーニャー泣いていた事だけは記憶している。\r\n").encode("cp932"))
translation = os.path.join(home, "cat.rtf")
open(translation, "wb").write(rb"{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}}\f0\fs24 "
                              rb"I am a cat. As yet I have no name.\par}")
open(os.path.join(home, "ctrinfo.vtd"), "wb").write(
    ('"猫","%s","wagahai.txt","%s","cat.rtf",#TRUE#,#TRUE#,#FALSE#,""\r\n' % (original, translation)).encode("cp932"))
PY
on_screen 1280x800 '
  start_verbanta "$0"
  open_editor
  xdotool windowmove "$win" 0 0; sleep 0.5
  xdotool windowsize "$win" 1270 760; sleep 2
  shot "$win" docs/editor-glossary-panel.png
  kill $pid
' "$home"
echo "docs/editor-glossary-panel.png"
