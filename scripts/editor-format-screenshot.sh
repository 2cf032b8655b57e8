#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshot of the translation editor's formatting in docs/: a formatted translation
# with a sentence selected, the formatting bar showing it and the panes' pop-up menu open, under a
# virtual display. Needs xvfb, xwd (x11-apps), xdotool and netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 scripts/sample-book.py "$home"
python3 - "$home" <<'PY'
import os, sys
home = sys.argv[1]
translation = os.path.join(home, "cat.rtf")
open(translation, "wb").write(
    rb"{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}{\f1 Arial;}}"
    rb"{\colortbl;\red0\green0\blue0;\red0\green128\blue0;\red255\green0\blue0;\red0\green0\blue255;}"
    rb"\pard\qc\f1\fs32\b\cf4 I Am a Cat\b0\cf1\par"
    rb"\pard\f0\fs24 \b\cf2 I am a cat.\b0\cf1  As yet I have \i no name\i0 .\par "
    rb"I have no idea where I was born. All I remember is that I was "
    rb"\ul crying in a dim and damp place\ulnone .\par "
    rb"\pard\li480 There I saw a human being for the first time. \cf3 I learned later that it "
    rb"was a student\cf1 , the most ferocious of the human race.\par}")
open(os.path.join(home, "ctrinfo.vtd"), "wb").write(
    ('"猫","","","%s","cat.rtf",#FALSE#,#TRUE#,#FALSE#,""\r\n' % translation).encode("cp932"))
PY
on_screen 1024x768 '
  start_verbanta "$0"
  open_editor
  xdotool windowmove "$win" 0 0; sleep 0.5
  xdotool windowfocus "$win"
  # Into the translation, onto its second paragraph, and select its first sentence.
  xdotool mousemove 200 190 click 1; sleep 0.3
  xdotool key ctrl+Home Down Home; sleep 0.3
  xdotool key shift+alt+Right; sleep 0.5
  xdotool mousemove 260 300 click 3; sleep 2
  # The pop-up is a window of its own that reading the screen shows unpainted: it is read by
  # itself and laid over the window at its place.
  pop=$(xwininfo -root -tree | grep -E "[0-9]+x[0-9]+\+260\+300 " | awk "{print \$1}" | head -1)
  xwd -id "$pop" | xwdtopnm 2>/dev/null > "$0/popup.pnm"
  xwd -id "$win" | xwdtopnm 2>/dev/null | pnmpaste "$0/popup.pnm" 260 300 | pnmtopng > docs/editor-formatting.png
  xdotool key Escape
  kill $pid
' "$home"
echo "docs/editor-formatting.png"
