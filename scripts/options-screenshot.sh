#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshot of the translation editor's options dialog in docs/, over a sample book and
# a project with an original file, under a virtual display. Needs xvfb, xwd (x11-apps), xdotool
# and netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 scripts/sample-book.py "$home"
python3 - "$home" <<'PY'
import os, sys
home = sys.argv[1]
original = os.path.join(home, "original.txt")
open(original, "wb").write("The cat sat on the mat.\r\n".encode("cp932"))
translation = os.path.join(home, "translation.rtf")
open(translation, "wb").write(rb"{\rtf1\ansi \par}")
open(os.path.join(home, "ctrinfo.vtd"), "wb").write(
    ('"猫","%s","original.txt","%s","translation.rtf",#TRUE#,#TRUE#,#FALSE#,""\r\n'
     % (original, translation)).encode("cp932"))
PY
on_screen 1024x768 '
  start_verbanta "$0"
  open_editor
  xdotool windowfocus "$win"; sleep 0.5; xdotool key alt+u; sleep 0.5; xdotool key o; sleep 1.5
  options=$(xdotool search --name "^ｵﾌﾟｼｮﾝ$" | head -1)
  shot "$options" docs/options-dialog.png
  kill $pid
' "$home"
echo "docs/options-dialog.png"
