#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes docs/register-suggestions.png: the main window registering "mice" with the meanings the
# installed dictionaries offer, the first one chosen; and docs/editor-register-suggestions.png: the
# editor's word pane registering "went", the list under its meaning box. Needs edict and wordnet-base besides the
# tools of screenshot.sh; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 scripts/sample-book.py "$home"
on_screen 800x600 '
  export XDG_CACHE_HOME="$0/cache" VERBANTA_DICTIONARIES=/usr/share
  start_verbanta "$0"
  for i in 1 2 3 4 5; do [ -n "$main" ] && break; sleep 2; main=$(xdotool search --onlyvisible --name "Verbanta - " | head -1); done
  echo "main window: $main"
  xdotool windowmove "$main" 0 0; sleep 0.5
  xdotool windowfocus "$main"; xdotool type --delay 80 mice; xdotool key Return; sleep 1
  # The question whether to register the word: Yes.
  xdotool key Return; sleep 6
  xdotool windowfocus "$main"; xdotool key Down Return; sleep 1
  shot "$main" docs/register-suggestions.png
  xdotool key Escape Escape; sleep 1
  open_editor
  xdotool windowmove "$win" 0 0; sleep 0.5
  xdotool windowsize "$win" 790 590; sleep 1
  xdotool windowfocus "$win"; xdotool key ctrl+a; xdotool type --delay 80 went; xdotool key Return; sleep 1
  xdotool key Return; sleep 2
  xdotool windowfocus "$win"; xdotool key Down Return; sleep 1
  shot "$win" docs/editor-register-suggestions.png
  kill $pid
' "$home"
echo "docs/register-suggestions.png docs/editor-register-suggestions.png"
