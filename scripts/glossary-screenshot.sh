#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshot of the editor's book-words panel in docs/: a Japanese original whose first
# sentence holds words of the book, the panel listing them beside the panes and the words marked
# in the original. Needs xvfb, xwd (x11-apps), xdotool and netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 -B - "$home" <<'PY'
import os, sys
sys.path.insert(0, "scripts")
from screenshotfiles import write_book, write_project
home = sys.argv[1]
write_book(home, [
    ("吾輩", "わたし（尊大な言い方）", "吾輩は猫である。"), ("猫", "cat", "I am a cat."),
    ("名前", "name", "As yet I have no name."), ("見当", "guess; idea", "見当がつかぬ。"),
    ("薄暗い", "dim", "It was a dim and damp place."), ("記憶", "memory", "記憶している。"),
    ("remember", "覚えている", "I do not remember where I was born.")])
open(os.path.join(home, "glossary.ini"), "wb").write(b"enabled=1\nvisible=1\nhighlight=1\n")
write_project(home,
              "吾輩は猫である。名前はまだ無い。\r\n"
              "どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
              "ニャーニャー泣いていた事だけは記憶している。\r\n",
              rb"{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}}\f0\fs24 "
              rb"I am a cat. As yet I have no name.\par}")
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
