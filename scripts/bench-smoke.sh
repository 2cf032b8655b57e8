#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark program once, briefly, so that a benchmark that hangs, crashes, reports an
# error or is no longer built fails the run. Speeds are not judged here; the figures are printed
# for the record. Usage: scripts/bench-smoke.sh [BUILD-DIR]   (default: build)
set -uo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
# Generous for the slowest program (it makes the 200,000-word books on first use), short enough
# that a hang ends the run long before CI's own limit.
limit=${VERBANTA_BENCH_TIME_LIMIT:-600}

mapfile -t programs < <(sed -n 's/^verbanta_add_\(widget_\)\{0,1\}bench(\([A-Za-z0-9_]*\).*/\2/p' bench/CMakeLists.txt)
if [ ${#programs[@]} -eq 0 ]; then
  echo "bench-smoke: no benchmark programs found in bench/CMakeLists.txt" >&2
  exit 1
fi

failed=()
for program in "${programs[@]}"; do
  binary="$build/bench/$program"
  if [ ! -x "$binary" ]; then
    echo "bench-smoke: $program was not built ($binary is missing)" >&2
    failed+=("$program (missing)")
    continue
  fi
  echo "bench-smoke: $program"
  log=$(mktemp)
  start=$(date +%s)
  QT_QPA_PLATFORM=offscreen timeout --kill-after=10 "$limit" "$binary" \
    --benchmark_min_time=0.01 --benchmark_color=false 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  echo "bench-smoke: $program took $(( $(date +%s) - start )) s"
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    failed+=("$program (still running after $limit s)")
  elif [ "$status" -ne 0 ]; then
    failed+=("$program (exit status $status)")
  elif grep -q "ERROR OCCURRED" "$log"; then
    failed+=("$program (a benchmark reported an error)")
  fi
  rm -f "$log"
done

if [ ${#failed[@]} -ne 0 ]; then
  printf 'bench-smoke: failed: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "bench-smoke: all ${#programs[@]} benchmark programs ran to the end"
