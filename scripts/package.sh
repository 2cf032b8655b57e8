#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package in a fresh build folder, build-package/, from the sources as they are:
#   build-package/verbanta_<version>_<architecture>.deb
# Install it with: sudo apt install ./build-package/verbanta_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

rm -rf build-package
# Only the program goes into the package, so only the program is built.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DVERBANTA_BUILD_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build build-package -j"${VERBANTA_JOBS:-2}" --target verbanta
(cd build-package && cpack -G DEB)
ls build-package/verbanta_*.deb
