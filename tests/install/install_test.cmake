# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary DESTDIR, checks that every file a desktop needs is there
# and well formed, and validates the desktop entry and the AppStream metadata with the tools
# distributions check them with (desktop-file-utils, appstream: scripts/install-deps.sh).
# Arguments: BUILD_DIR, SOURCE_DIR, WORK, APP_ID.
cmake_minimum_required(VERSION 3.25)

set(failures "")
macro(fail message)
  string(APPEND failures "\n  ${message}")
endmacro()

file(REMOVE_RECURSE "${WORK}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${WORK}
          ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${out}")
endif()

set(root "${WORK}/usr")
set(desktop "${root}/share/applications/${APP_ID}.desktop")
set(metainfo "${root}/share/metainfo/${APP_ID}.metainfo.xml")
foreach(file
    bin/verbanta
    share/applications/${APP_ID}.desktop
    share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/icons/hicolor/48x48/apps/${APP_ID}.png
    share/icons/hicolor/256x256/apps/${APP_ID}.png
    share/doc/verbanta/copyright
    share/doc/verbanta/changelog.gz
    share/man/man1/verbanta.1.gz)
  if(NOT EXISTS "${root}/${file}")
    fail("missing: /usr/${file}")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "The installed tree is incomplete:${failures}")
endif()

# A PNG's width and height are the two big-endian words after its signature and IHDR header.
foreach(size 48 256)
  file(READ "${root}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png" header
    HEX OFFSET 16 LIMIT 8)
  math(EXPR expected "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REPLACE "0x" "" expected "${expected}")
  string(LENGTH "${expected}" length)
  math(EXPR pad "8 - ${length}")
  string(REPEAT "0" ${pad} zeros)
  if(NOT header STREQUAL "${zeros}${expected}${zeros}${expected}")
    fail("the ${size}x${size} icon is not ${size} pixels square (header ${header})")
  endif()
endforeach()

# The entry starts the program without arguments, under the icon it installs, and names the
# window class Qt gives the program's windows, so the task bar groups them under the entry.
file(READ "${desktop}" entry)
foreach(line
    "Exec=verbanta"
    "Icon=${APP_ID}"
    "StartupWMClass=Verbanta"
    "Categories=Education;Languages;")
  string(FIND "\n${entry}" "\n${line}\n" at)
  if(at EQUAL -1)
    fail("the desktop entry lacks the line ${line}")
  endif()
endforeach()
foreach(key Name GenericName Comment)
  foreach(lang "" "\\[ja\\]")
    if(NOT "\n${entry}" MATCHES "\n${key}${lang}=[^\n]")
      fail("the desktop entry has no ${key}${lang}")
    endif()
  endforeach()
endforeach()

# The screenshots the metadata shows are the pictures kept in docs/.
file(READ "${metainfo}" meta)
string(REGEX MATCHALL "<image>[^<]*/docs/[^<]*</image>" images "${meta}")
if(NOT images)
  fail("the metadata shows no screenshot of docs/")
endif()
foreach(image IN LISTS images)
  string(REGEX REPLACE "^<image>.*/docs/(.*)</image>$" "\\1" picture "${image}")
  if(NOT EXISTS "${SOURCE_DIR}/docs/${picture}")
    fail("the metadata shows docs/${picture}, which does not exist")
  endif()
endforeach()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
  fail("desktop-file-validate and appstreamcli are needed: run scripts/install-deps.sh")
else()
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} "${desktop}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR out MATCHES "error|warning")
    fail("desktop-file-validate:\n${out}")
  endif()
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net "${metainfo}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    fail("appstreamcli validate --no-net:\n${out}")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "The installed files are not what a desktop expects:${failures}")
endif()
file(REMOVE_RECURSE "${WORK}")
