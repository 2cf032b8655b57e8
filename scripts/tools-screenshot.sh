#!/usr/bin/env bash
# Takes the screenshots of the word-book tools in docs/: the print dialog, the customise dialog,
# the quiz settings and a quiz under way, over a 100-word book, under a virtual display. Needs xvfb, xwd (x11-apps), xdotool and netpbm;
# not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
build/bench/bench_store --benchmark_filter=NONE >/dev/null 2>&1 || true
python3 scripts/sample-book.py "$home"
mkdir -p docs
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  VERBANTA_HOME="$0" build/bin/verbanta &
  pid=$!
  sleep 3
  win=$(xdotool search --name "Verbanta - " | head -1)
  xdotool windowmove "$win" 0 0; sleep 0.5
  xdotool windowfocus "$win"; xdotool key ctrl+p; sleep 1.5
  print=$(xdotool search --name "^印刷$" | head -1)
  xwd -id "$print" | xwdtopnm 2>/dev/null | pnmtopng > docs/print-dialog.png
  kill -0 $pid; xdotool key --window "$print" Escape 2>/dev/null || true; sleep 1
  xdotool windowfocus "$win"; xdotool key alt+f; sleep 0.5; xdotool key c; sleep 1.5
  custom=$(xdotool search --name "属性のカスタマイズ" | head -1)
  xwd -id "$custom" | xwdtopnm 2>/dev/null | pnmtopng > docs/customise-dialog.png
  # The customise dialog is modal: it has to go before the quiz menu can be reached.
  xdotool mousemove --window "$custom" 500 322 click 1; sleep 0.5
  xdotool windowfocus "$win"; sleep 0.5; xdotool key alt+r; sleep 0.5; xdotool key t; sleep 2
  try=$(xdotool search --name "ﾄﾗｲﾒﾆｭｰの設定" | head -1)
  xwd -id "$try" | xwdtopnm 2>/dev/null | pnmtopng > docs/quiz-settings.png
  xdotool mousemove --window "$try" 60 225 click 1; sleep 1.5
  quiz=$(xdotool search --name "単語を当てよう！" | head -1)
  xdotool windowmove "$quiz" 100 40; sleep 0.5
  # The first word answered right, then the second question with an answer being typed.
  xdotool windowfocus "$quiz"; sleep 0.3
  xdotool mousemove --window "$quiz" 70 330 click 1; sleep 0.5
  xdotool type aazxu; sleep 0.3
  xdotool mousemove --window "$quiz" 190 330 click 1; sleep 1
  xdotool key Return; sleep 0.5
  xdotool windowfocus "$quiz"; sleep 0.3
  xdotool mousemove --window "$quiz" 70 330 click 1; sleep 0.5
  xdotool type akr; sleep 0.5
  xwd -id "$quiz" | xwdtopnm 2>/dev/null | pnmtopng > docs/quiz-window.png
  kill $pid
' "$home"
echo "docs/print-dialog.png docs/customise-dialog.png docs/quiz-settings.png docs/quiz-window.png"
