#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots of the translation editor in docs/: a Japanese original above and then
# beside its English translation, under a virtual display. Needs xvfb, xwd (x11-apps), xdotool and
# netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 - "$home" <<'PY'
import os, sys
home = sys.argv[1]
book = os.path.join(home, "英単語")
os.makedirs(book)
words = [("cat", "猫", "I am a cat."), ("name", "名前", "As yet I have no name."),
         ("remember", "覚えている", "I do not remember where I was born."),
         ("dim", "薄暗い", "It was a dim and damp place."), ("cry", "泣く", "I was crying.")]
with open(os.path.join(book, "words.vtd"), "wb") as wf, open(os.path.join(book, "means.vtd"), "wb") as mf, \
        open(os.path.join(book, "reis.vtd"), "wb") as rf:
    for i, (w, m, e) in enumerate(words):
        wf.write(('"%s",%d\r\n' % (w, i + 1)).encode("cp932"))
        mf.write(m.encode("cp932").ljust(200, b" "))
        rf.write(e.encode("cp932").ljust(400, b" "))
open(os.path.join(home, "curFData.vtd"), "wb").write('"英単語","英語ｾｯﾄ"\r\n'.encode("cp932"))
open(os.path.join(home, "英語ｾｯﾄ.vtd"), "wb").write("".join('"%s","%s",1\r\n' % (chr(65 + i), chr(65 + i)) for i in range(26)).encode("cp932"))
original = os.path.join(home, "wagahai.txt")
open(original, "wb").write(("吾輩は猫である。名前はまだ無い。\r\n"
                            "どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
                            "ニャーニャー泣いていた事だけは記憶している。\r\n").encode("cp932"))
translation = os.path.join(home, "cat.rtf")
open(translation, "wb").write(rb"{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}}\f0\fs24 "
                              rb"I am a cat. As yet I have no name.\par "
                              rb"I have no idea where I was born. All I remember is that I was "
                              rb"crying in a dim and damp place.\par}")
open(os.path.join(home, "ctrinfo.vtd"), "wb").write(
    ('"猫","%s","wagahai.txt","%s","cat.rtf",#TRUE#,#TRUE#,#FALSE#,""\r\n' % (original, translation)).encode("cp932"))
PY
on_screen 1024x768 '
  start_verbanta "$0"
  open_editor
  xdotool windowmove "$win" 0 0; sleep 0.5
  xdotool windowfocus "$win"; xdotool type --delay 80 rem; sleep 1
  shot "$win" docs/editor-stacked.png
  xdotool key alt+u; sleep 0.5; xdotool key z; sleep 1
  shot "$win" docs/editor-side-by-side.png
  kill $pid
' "$home"
echo "docs/editor-stacked.png docs/editor-side-by-side.png"
