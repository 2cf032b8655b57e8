#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Verbanta into build/ (optimised, with debug information) and
# runs the whole test suite; then builds and runs it once more under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/install-deps.sh

jobs=${VERBANTA_JOBS:-2}

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure --timeout 120 -j"$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVERBANTA_SANITIZE=ON -DVERBANTA_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
# Qt's own one-time allocations (fonts, plugins) are not ours to free.
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build-asan --output-on-failure --timeout 300 -j"$jobs"
