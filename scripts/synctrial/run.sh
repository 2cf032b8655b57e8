#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The two-machine trial: two Syncthing instances (Debian's syncthing) on this machine, loopback
# only (no global or local discovery, relays or NAT traversal), each syncing one application
# folder, with the program's side played by the synctrial driver under two host names.
# Not run by CI. Needs: syncthing, python3, unshare (util-linux), root or user namespaces.
#
#   scripts/synctrial/run.sh [BUILD_DIR] [-- trial.py options]
#
# Builds the driver in BUILD_DIR (default build), runs the situations and writes their counts
# as JSON to $SYNCTRIAL_ROOT.results.json (SYNCTRIAL_ROOT: its work folder, default
# /tmp/synctrial, emptied first).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=${1:-$source_dir/build}
[ $# -gt 0 ] && shift
[ "${1:-}" = "--" ] && shift
root=${SYNCTRIAL_ROOT:-/tmp/synctrial}

command -v syncthing >/dev/null || { echo "syncthing is not installed (apt install syncthing)" >&2; exit 2; }
cmake -S "$source_dir" -B "$build" -DVERBANTA_SYNCTRIAL=ON >/dev/null
flock /tmp/verbanta-build.lock cmake --build "$build" -j2 --target synctrial
driver=$(find "$build" -name synctrial -type f -perm -u+x | head -n 1)

exec python3 "$here/trial.py" --driver "$driver" --root "$root" \
    --json "$root.results.json" --words 10000 --big 100000 --trials 8 --mixed-trials 6 "$@"
