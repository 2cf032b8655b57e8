#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots of the editor's find and replace dialog and of the split settings in
# docs/, over a project with a Japanese original and its English translation, under a virtual
# display. Needs xvfb, xwd (x11-apps), xdotool and netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 scripts/sample-book.py "$home"
python3 -B - "$home" <<'PY'
import sys
sys.path.insert(0, "scripts")
from screenshotfiles import write_project
write_project(sys.argv[1],
              "吾輩は猫である。名前はまだ無い。\r\n"
              "どこで生れたかとんと見当がつかぬ。\r\n",
              rb"{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}}\f0\fs24 "
              rb"I am a cat. As yet I have no name. I have no idea where I was "
              rb"born.\par}")
PY
on_screen 1024x768 '
  start_verbanta "$0"
  open_editor
  xdotool windowmove "$win" 0 0; sleep 0.5
  xdotool windowfocus "$win"; xdotool key ctrl+f; sleep 1.5
  find=$(xdotool search --name "^検索と置換$" | head -1)
  xdotool windowfocus "$find"; xdotool type --delay 80 cat; xdotool key Return; sleep 1
  shot "$find" docs/find-dialog.png
  xdotool key --window "$find" Escape; sleep 0.5
  xdotool windowfocus "$win"; xdotool key alt+u; sleep 0.5; xdotool key s; sleep 0.5; xdotool key m; sleep 1.5
  split=$(xdotool search --name "文単位" | head -1)
  shot "$split" docs/split-settings.png
  xdotool key --window "$split" Escape; sleep 0.5
  kill $pid
' "$home"
echo "docs/find-dialog.png docs/split-settings.png"
