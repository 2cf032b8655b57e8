#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots in docs/: the main window at both sizes with a 100-word book, under a
# virtual display. Needs xvfb, xwd (x11-apps), xdotool and ImageMagick; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
build/bench/bench_store --benchmark_filter=NONE >/dev/null 2>&1 || true
python3 scripts/sample-book.py "$home"
on_screen 800x600 '
  show_main "$0"
  xdotool type --delay 80 apr; sleep 1
  xwd -id "$main" | convert xwd:- docs/main-window-large.png
  xdotool key ctrl+z; sleep 1
  xwd -id "$main" | convert xwd:- docs/main-window-small.png
  kill $pid
' "$home"
echo "docs/main-window-large.png docs/main-window-small.png"
