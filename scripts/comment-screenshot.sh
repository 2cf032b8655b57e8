#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshot of the comment window in docs/: a project that keeps notes, its comment
# window shown beside the editor with a word found by its search box, under a virtual display.
# Needs xvfb, xwd (x11-apps), xdotool and netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 scripts/sample-book.py "$home"
python3 - "$home" <<'PY'
import os, sys
home = sys.argv[1]
translation = os.path.join(home, "cat.rtf")
open(translation, "wb").write(rb"{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}}\f0\fs24 "
                              rb"I am a cat. As yet I have no name.\par}")
comment = os.path.join(home, "Cm_cat.rtf")
def rtf(text):
    return "".join(c if ord(c) < 128 else "".join("\\'%02x" % b for b in c.encode("cp932"))
                   for c in text)
paragraphs = [r"{\b " + rtf("訳注メモ") + "}", rtf("・I am a cat: 古風でいかめしい口調を残す"),
              rtf("・name: 「名前はまだ無い」の否定を強く"), rtf("・章ごとに見直す")]
notes = (r"{\rtf1\ansi\ansicpg932\deff0{\fonttbl{\f0\fcharset128 MS UI Gothic;}}\f0\fs22 "
         + r"\par ".join(paragraphs) + r"\par}")
open(comment, "wb").write(notes.encode("ascii"))
line = '"猫","","","%s","cat.rtf",#FALSE#,#TRUE#,#TRUE#,"%s"\r\n' % (translation, comment)
open(os.path.join(home, "ctrinfo.vtd"), "wb").write(line.encode("cp932"))
open(os.path.join(home, "trinfo.vtd"), "wb").write(line.encode("cp932"))
PY
on_screen 1024x768 '
  start_verbanta "$0"
  open_editor
  xdotool windowfocus "$win"; sleep 0.5; xdotool key alt+u; sleep 0.5; xdotool key e; sleep 1.5
  cmnt=$(xdotool search --name "注釈" | head -1)
  xdotool windowmove "$cmnt" 0 0; sleep 0.5
  xdotool windowfocus "$cmnt"; xdotool type --delay 80 name; xdotool key Return; sleep 1
  shot "$cmnt" docs/comment-window.png
  kill $pid
' "$home"
echo "docs/comment-window.png"
