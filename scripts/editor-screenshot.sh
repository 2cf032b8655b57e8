#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots of the translation editor in docs/: a Japanese original above and then
# beside its English translation, under a virtual display. Needs xvfb, xwd (x11-apps), xdotool and
# netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 -B - "$home" <<'PY'
import sys
sys.path.insert(0, "scripts")
from screenshotfiles import write_book, write_project
write_book(sys.argv[1], [
    ("cat", "猫", "I am a cat."), ("name", "名前", "As yet I have no name."),
    ("remember", "覚えている", "I do not remember where I was born."),
    ("dim", "薄暗い", "It was a dim and damp place."), ("cry", "泣く", "I was crying.")])
write_project(sys.argv[1],
              "吾輩は猫である。名前はまだ無い。\r\n"
              "どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
              "ニャーニャー泣いていた事だけは記憶している。\r\n",
              rb"{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}}\f0\fs24 "
              rb"I am a cat. As yet I have no name.\par "
              rb"I have no idea where I was born. All I remember is that I was "
              rb"crying in a dim and damp place.\par}")
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
