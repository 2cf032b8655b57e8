#!/usr/bin/env bash
# Takes the screenshots of the new-project wizard's three pages in docs/, reached by Save of
# untitled work in the translation editor, under a virtual display. Needs xvfb, xwd (x11-apps),
# xdotool and netpbm; not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
python3 scripts/sample-book.py "$home"
python3 - "$home" <<'PY'
import os, sys
home = sys.argv[1]
trans = os.path.join(home, "cat.rtf")
open(os.path.join(home, "trinfo.vtd"), "wb").write(
    ('"吾輩は猫である","","",%s,"cat.rtf",#FALSE#,#TRUE#,#FALSE#,""\r\n' % ('"' + trans + '"')).encode("cp932"))
PY
mkdir -p docs
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  VERBANTA_HOME="$0" build/bin/verbanta &
  pid=$!
  sleep 3
  main=$(xdotool search --name "Verbanta - " | head -1)
  xdotool windowfocus "$main"; xdotool key alt+f; sleep 0.5; xdotool key g; sleep 3
  win=$(xdotool search --name "^Dualscribe$" | head -1)
  xdotool windowfocus "$win"; xdotool key alt+f; sleep 0.5; xdotool key s; sleep 1
  xdotool key Return; sleep 1.5
  wiz=$(xdotool search --name "新規ﾌﾟﾛｼﾞｪｸﾄ作成ｳｨｻﾞｰﾄﾞ" | head -1)
  xdotool windowmove "$wiz" 100 100; sleep 0.5
  xdotool type --window "$wiz" --delay 60 "Botchan"; sleep 0.5
  xwd -id "$wiz" | xwdtopnm 2>/dev/null | pnmtopng > docs/wizard-page1.png
  xdotool key --window "$wiz" alt+n; sleep 1
  xwd -id "$wiz" | xwdtopnm 2>/dev/null | pnmtopng > docs/wizard-page2.png
  # "<原文>ﾌｧｲﾙを利用しない", then on to page 3.
  xdotool mousemove --window "$wiz" 40 109 click 1; sleep 0.5
  xdotool key --window "$wiz" alt+n; sleep 1
  xwd -id "$wiz" | xwdtopnm 2>/dev/null | pnmtopng > docs/wizard-page3.png
  kill $pid
' "$home"
echo "docs/wizard-page1.png docs/wizard-page2.png docs/wizard-page3.png"
