# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced first by each screenshot script: stops at the first failure, works from the
# repository's root, and gives the script a scratch application folder, $home (removed on exit),
# and the docs/ folder that the pictures go to.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p docs

# For the scripts run by on_screen.
# Writes window $1 to the PNG file $2.
shot() { xwd -id "$1" | xwdtopnm 2>/dev/null | pnmtopng >"$2"; }
# Starts the program over the application folder $1 ($pid) and finds its main window ($main).
start_verbanta() {
  VERBANTA_HOME="$1" build/bin/verbanta &
  pid=$!
  sleep 3
  main=$(xdotool search --name "Verbanta - " | head -1)
}
# Starts the program over $1 and brings its main window ($main) to the top left corner, focused.
show_main() {
  start_verbanta "$1"
  xdotool windowmove "$main" 0 0; sleep 0.5
  xdotool windowfocus "$main"
}
# Opens the translation editor from the main window and finds it ($win).
open_editor() {
  xdotool windowfocus "$main"; xdotool key alt+f; sleep 0.5; xdotool key g; sleep 3
  win=$(xdotool search --name "^Dualscribe$" | head -1)
}

# Runs the bash script $2 on a virtual display of size $1 (WIDTHxHEIGHT) with the functions
# above; the further arguments are the script's $0, $1, ...
on_screen() {
  local size=$1 script=$2
  shift 2
  xvfb-run -a -s "-screen 0 ${size}x24" bash -c "$(declare -f shot start_verbanta show_main open_editor)
$script" "$@"
}
