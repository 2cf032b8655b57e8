#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots of the new-project wizard's three pages in docs/, reached by Save of
# untitled work in the translation editor, under a virtual display. Needs xvfb, xwd (x11-apps),
# xdotool and netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 scripts/sample-book.py "$home"
python3 - "$home" <<'PY'
import os, sys
home = sys.argv[1]
trans = os.path.join(home, "cat.rtf")
open(os.path.join(home, "trinfo.vtd"), "wb").write(
    ('"吾輩は猫である","","",%s,"cat.rtf",#FALSE#,#TRUE#,#FALSE#,""\r\n' % ('"' + trans + '"')).encode("cp932"))
PY
on_screen 1024x768 '
  start_verbanta "$0"
  open_editor
  xdotool windowfocus "$win"; xdotool key alt+f; sleep 0.5; xdotool key s; sleep 1
  xdotool key Return; sleep 1.5
  wiz=$(xdotool search --name "新規ﾌﾟﾛｼﾞｪｸﾄ作成ｳｨｻﾞｰﾄﾞ" | head -1)
  xdotool windowmove "$wiz" 100 100; sleep 0.5
  xdotool type --window "$wiz" --delay 60 "Botchan"; sleep 0.5
  shot "$wiz" docs/wizard-page1.png
  xdotool key --window "$wiz" alt+n; sleep 1
  shot "$wiz" docs/wizard-page2.png
  # "<原文>ﾌｧｲﾙを利用しない", then on to page 3.
  xdotool mousemove --window "$wiz" 40 109 click 1; sleep 0.5
  xdotool key --window "$wiz" alt+n; sleep 1
  shot "$wiz" docs/wizard-page3.png
  kill $pid
' "$home"
echo "docs/wizard-page1.png docs/wizard-page2.png docs/wizard-page3.png"
