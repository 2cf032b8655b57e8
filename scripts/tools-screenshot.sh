#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots of the word-book tools in docs/: the print dialog, the customise dialog,
# the quiz settings and a quiz under way, over a 100-word book, then the import/export dialog, the
# book folder picker and the merge dialog paused at a duplicate, under a virtual display. Needs
# xvfb, xwd (x11-apps), xdotool and netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
build/bench/bench_store --benchmark_filter=NONE >/dev/null 2>&1 || true
python3 scripts/sample-book.py "$home"
on_screen 800x600 '
  show_main "$0"
  xdotool key ctrl+p; sleep 1.5
  print=$(xdotool search --name "^印刷$" | head -1)
  shot "$print" docs/print-dialog.png
  kill -0 $pid; xdotool key --window "$print" Escape 2>/dev/null || true; sleep 1
  xdotool windowfocus "$main"; xdotool key alt+f; sleep 0.5; xdotool key c; sleep 1.5
  custom=$(xdotool search --name "属性のカスタマイズ" | head -1)
  shot "$custom" docs/customise-dialog.png
  # The customise dialog is modal: it has to go before the quiz menu can be reached.
  xdotool mousemove --window "$custom" 500 322 click 1; sleep 0.5
  xdotool windowfocus "$main"; sleep 0.5; xdotool key alt+r; sleep 0.5; xdotool key t; sleep 2
  try=$(xdotool search --name "ﾄﾗｲﾒﾆｭｰの設定" | head -1)
  shot "$try" docs/quiz-settings.png
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
  shot "$quiz" docs/quiz-window.png
  kill $pid
' "$home"
echo "docs/print-dialog.png docs/customise-dialog.png docs/quiz-settings.png docs/quiz-window.png"
# The import/export dialog, the book folder picker and the merge dialog paused at a duplicate, in
# an application folder of its own: the sample book and two small books sharing the word "cat",
# and an empty merge target, all in the book list.
# Kept out of the crowded /tmp, which the picker would show around it.
appdir=$(mktemp -d -p /var/tmp)
trap 'rm -rf "$home" "$appdir"' EXIT
app="$appdir/Verbanta"
python3 scripts/sample-book.py "$app"
python3 - "$app" <<'PY'
import os, sys
app = sys.argv[1]
books = ["英単語"]
for name, words in (("merge-a", ["apple", "cat"]), ("merge-b", ["bird", "cat", "dog"]),
                    ("merge-into", [])):
    folder = os.path.join(app, name)
    os.makedirs(folder)
    books.append(name)
    side = name[-1].upper()
    with open(os.path.join(folder, "words.vtd"), "wb") as wf, \
            open(os.path.join(folder, "means.vtd"), "wb") as mf, \
            open(os.path.join(folder, "reis.vtd"), "wb") as rf:
        for i, w in enumerate(words):
            wf.write(('"%s",%d\r\n' % (w, i + 1)).encode("cp932"))
            mf.write(("%s の意味（%s）" % (w, side)).encode("cp932").ljust(200, b" "))
            rf.write(("A %s in book %s." % (w, side)).encode("cp932").ljust(400, b" "))
with open(os.path.join(app, "DirInfo.vtd"), "wb") as f:
    f.write("".join('"%s","英語ｾｯﾄ"\r\n' % b for b in books).encode("cp932"))
PY
on_screen 800x600 '
  # Picks the folder named $1 in the application folder, where the picker starts; with $2, takes
  # the picker with that folder chosen first.
  pick() {
    picker=$(xdotool search --name "^ﾌﾞｯｸの選択$" | head -1)
    xdotool windowfocus "$picker"; sleep 1; xdotool type "$1"; sleep 0.5
    if [ -n "${2:-}" ]; then shot "$picker" "$2"; fi
    xdotool key Return; sleep 1
  }
  show_main "$0"
  xdotool key alt+f; sleep 0.5; xdotool key u; sleep 1.5
  inport=$(xdotool search --name "^外部ﾃﾞｰﾀ処理$" | head -1)
  xdotool windowmove "$inport" 0 0; sleep 0.5
  xdotool mousemove --window "$inport" 356 142 click 1; sleep 1.5
  pick merge-b
  shot "$inport" docs/inport-dialog.png
  xdotool windowfocus "$inport"; xdotool key Escape; sleep 1
  xdotool windowfocus "$main"; xdotool key alt+f; sleep 0.5; xdotool key m; sleep 1.5
  merge=$(xdotool search --name "^ﾌﾞｯｸの統合$" | head -1)
  xdotool windowmove "$merge" 0 0; sleep 0.5
  xdotool mousemove --window "$merge" 468 22 click 1; sleep 1.5
  pick merge-a
  xdotool mousemove --window "$merge" 468 78 click 1; sleep 1.5
  pick merge-b docs/book-picker.png
  xdotool mousemove --window "$merge" 468 134 click 1; sleep 1.5
  pick merge-into
  # Ask at each duplicate, then start: the merge stops at "cat".
  xdotool mousemove --window "$merge" 359 193 click 1; sleep 0.5
  xdotool key End Return; sleep 0.5
  xdotool mousemove --window "$merge" 355 386 click 1; sleep 1
  shot "$merge" docs/merge-dialog.png
  xdotool mousemove --window "$merge" 463 386 click 1; sleep 1
  kill $pid
' "$app"
echo "docs/inport-dialog.png docs/book-picker.png docs/merge-dialog.png"
