#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Verbanta needs to build, test and run, and nothing that is already there.
# Safe to run again; works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libicu-dev libhunspell-dev hunspell-en-us qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6printsupport6 libqt6svg6
  qt6-translations-l10n
  qt6-charts-dev libqt6opengl6-dev # Qt Charts' CMake files need the OpenGL ones
  libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-ipafont-gothic fonts-liberation fonts-liberation2 fontconfig
  xvfb xauth
  # The tests have LibreOffice print saved documents to PDF and read the text of the pages.
  libreoffice-writer-nogui poppler-utils
  # The tests read the translation exported as a Word document with python-docx.
  python3-docx
  desktop-file-utils appstream lintian
  edict wordnet-base
  libmecab-dev mecab-ipadic-utf8 # Japanese originals read as words (the analyser and its dictionary)
  python3 # the exchange tests read the files we write with Python's csv and xml.etree
  # The translation memory's database: Qt SQL's SQLite driver.
  libqt6sql6-sqlite
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "install-deps: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
