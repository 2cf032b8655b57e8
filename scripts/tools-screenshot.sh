#!/usr/bin/env bash
# Takes the screenshots of the word-book tools in docs/: the print dialog and the customise dialog,
# over a 100-word book, under a virtual display. Needs xvfb, xwd (x11-apps), xdotool and netpbm;
# not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
build/bench/bench_store --benchmark_filter=NONE >/dev/null 2>&1 || true
python3 - "$home" <<'PY'
import random, sys, os
home = sys.argv[1]
book = os.path.join(home, "英単語")
os.makedirs(book)
random.seed(7)
words = ["apple", "apricot", "Avocado", "banana", "blossom", "cherry", "chestnut", "dawn", "delight", "eager",
         "echo", "fable", "fathom", "gather", "glimpse", "harbor", "hollow", "idle", "ivory", "jest"]
while len(words) < 100:
    w = "".join(random.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(random.randint(4, 9)))
    if w not in words:
        words.append(w)
meanings = ["りんご", "あんず", "アボカド", "バナナ", "花", "さくらんぼ", "栗", "夜明け", "喜び", "熱心な"]
with open(os.path.join(book, "words.vtd"), "wb") as wf, open(os.path.join(book, "means.vtd"), "wb") as mf, \
        open(os.path.join(book, "reis.vtd"), "wb") as rf:
    for i, w in enumerate(words):
        wf.write(('"%s",%d\r\n' % (w, i + 1)).encode("cp932"))
        m = meanings[i] if i < len(meanings) else "意味の例 %d" % (i + 1)
        mf.write(m.encode("cp932").ljust(200, b" "))
        rf.write(("This is an example for %s." % w).encode("cp932").ljust(400, b" "))
open(os.path.join(home, "curFData.vtd"), "wb").write('"英単語","英語ｾｯﾄ"\r\n'.encode("cp932"))
open(os.path.join(home, "英語ｾｯﾄ.vtd"), "wb").write("".join('"%s","%s",1\r\n' % (chr(65 + i), chr(65 + i)) for i in range(26)).encode("cp932"))
PY
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
