#!/usr/bin/env bash
# Takes the screenshots in docs/: the main window at both sizes with a 100-word book, under a
# virtual display. Needs xvfb, xwd (x11-apps), xdotool and ImageMagick; not part of the tests.
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
  xdotool windowfocus "$win"; xdotool type --delay 80 apr; sleep 1
  xwd -id "$win" | convert xwd:- docs/main-window-large.png
  xdotool key ctrl+z; sleep 1
  xwd -id "$win" | convert xwd:- docs/main-window-small.png
  kill $pid
' "$home"
echo "docs/main-window-large.png docs/main-window-small.png"
