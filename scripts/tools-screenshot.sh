#!/usr/bin/env bash
# Takes the screenshots of the word-book tools in docs/: the print dialog and the customise dialog,
# over a 100-word book, under a virtual display. Needs xvfb, xwd (x11-apps), xdotool and netpbm;
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
  xdotool key --window "$custom" Escape 2>/dev/null || true; sleep 0.5
  kill $pid
' "$home"
echo "docs/print-dialog.png docs/customise-dialog.png"
