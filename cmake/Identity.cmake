# SPDX-License-Identifier: GPL-3.0-or-later
# The names and addresses that make this project itself, used by the AppStream metadata, the
# Debian package and the version window. Each can be set when configuring, for a fork or a
# distribution's own build: cmake -DVERBANTA_WEB_URL=https://example.net ...
set(VERBANTA_APP_ID org.verbanta.Verbanta CACHE STRING
  "Reverse-DNS identifier of the desktop entry, icon and AppStream metadata")
set(VERBANTA_WEB_URL "https://verbanta.org" CACHE STRING
  "Where the project's web pages live; the AppStream screenshots are its docs/ pictures")
set(VERBANTA_CONTACT "verbanta@verbanta.org" CACHE STRING
  "Address for the package's maintainer and the metadata's update contact")
set(VERBANTA_DEVELOPER "The Verbanta developers" CACHE STRING
  "Who makes the program, as the metadata and the package name them")
set(VERBANTA_RELEASE_DATE "2026-12-07" CACHE STRING
  "Date of the release this version is, for the AppStream release entry")
set(VERBANTA_LICENSE "GPL-3.0-or-later")
