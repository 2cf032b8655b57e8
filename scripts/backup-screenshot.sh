#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshot of the restore dialog in docs/: the sample book with three backups of its
# own, listed with their dates, word counts and operations, under a virtual display. Needs xvfb,
# xwd (x11-apps), xdotool and netpbm; not part of the tests.
source "$(dirname "$0")/screenshot-common.sh"
python3 scripts/sample-book.py "$home"
python3 - "$home" <<'PY'
import os, shutil, sys
home = sys.argv[1]
book = os.path.join(home, "英単語")
for stamp, operation, count in (("20261201-093012", "取込み", 100),
                                ("20261203-184455", "チェック項目の削除", 100),
                                ("20261206-211908", "閉じる時の整理", 97)):
    folder = os.path.join(home, "backup", "英単語", stamp)
    os.makedirs(folder)
    for name in ("words.vtd", "means.vtd", "reis.vtd"):
        shutil.copy(os.path.join(book, name), folder)
    with open(os.path.join(folder, "backup.vtd"), "wb") as f:
        f.write(('"%s",%d\r\n' % (operation, count)).encode("cp932"))
PY
on_screen 800x600 '
  show_main "$0"
  xdotool key alt+f; sleep 0.5
  xdotool key Down Down Down Return; sleep 1.5
  dialog=$(xdotool search --name "^バックアップから戻す$" | head -1)
  shot "$dialog" docs/restore-backup-dialog.png
  kill $pid
' "$home"
echo "docs/restore-backup-dialog.png"
