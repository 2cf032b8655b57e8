#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots of the review in docs/: a review with its answer shown and the progress
# window, over the 100-word sample book with a month of answers in its log, under a virtual
# display. Needs xvfb, xwd (x11-apps), xdotool and netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 scripts/sample-book.py "$home"
# A month of reviews of the first 60 words up to yesterday, scheduled the way the program schedules them
# (SM-2), so the charts show what a learner's month looks like.
python3 - "$home" <<'PY'
import os, random, sys, time
book = os.path.join(sys.argv[1], "英単語")
words = [line.split(b",")[0].strip(b'"').decode("cp932")
         for line in open(os.path.join(book, "words.vtd"), "rb").read().split(b"\r\n") if line]
random.seed(11)
today = int(time.time()) // 86400 * 86400 + 9 * 3600
lines = []
for record, word in enumerate(words[:60], start=1):
    day, reps, interval, ease = -random.randint(5, 30), 0, 0, 2500
    while day < 0:
        grade = random.choices([1, 2, 3, 4], weights=[2, 3, 8, 2])[0]
        q = {1: 1, 2: 3, 3: 4, 4: 5}[grade]
        if q < 3:
            reps, interval = 0, 1
        else:
            ease = max(1300, ease + 100 - (5 - q) * (80 + (5 - q) * 20))
            interval = 1 if reps == 0 else 6 if reps == 1 else (interval * ease + 999) // 1000
            reps += 1
        t = today + day * 86400 + random.randint(0, 8 * 3600)
        lines.append((t, "%d\t%d\t%d\t%d\t%s\n" % (t, record, grade, random.randint(2, 15), word)))
        day += interval
lines.sort()
with open(os.path.join(book, "ReviewLog.vtd"), "w", encoding="utf-8") as log:
    log.writelines(line for _, line in lines)
PY
on_screen 1024x768 '
  show_main "$0"
  xdotool key F6; sleep 1.5
  review=$(xdotool search --name "^復習$" | head -1)
  xdotool windowmove "$review" 60 40; sleep 0.5
  xdotool windowfocus "$review"; xdotool key space; sleep 0.5
  shot "$review" docs/review-window.png
  xdotool key Escape; sleep 1
  xdotool windowfocus "$main"; xdotool key F7; sleep 2
  progress=$(xdotool search --name "^学習の記録$" | head -1)
  xdotool windowmove "$progress" 0 0; sleep 0.5
  shot "$progress" docs/progress-window.png
  xdotool key Escape; sleep 0.5
  shot "$main" docs/main-window-review.png
  kill $pid
' "$home"
echo "docs/review-window.png docs/progress-window.png docs/main-window-review.png"
