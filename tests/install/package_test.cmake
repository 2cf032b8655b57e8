# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build folder with CPack and checks it with lintian, the tool
# Debian checks every package with: no error may be reported.
# Arguments: BUILD_DIR, WORK.
cmake_minimum_required(VERSION 3.25)

find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message(FATAL_ERROR "lintian is needed: run scripts/install-deps.sh")
endif()

file(REMOVE_RECURSE "${WORK}")
execute_process(
  COMMAND ${CMAKE_CPACK_COMMAND} -G DEB -B "${WORK}" --config "${BUILD_DIR}/CPackConfig.cmake"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${out}")
endif()
file(GLOB package "${WORK}/verbanta_*.deb")
if(NOT package)
  message(FATAL_ERROR "cpack made no package:\n${out}")
endif()

execute_process(COMMAND ${LINTIAN} --allow-root --no-tag-display-limit ${package}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
message(STATUS "lintian:\n${out}")
if(out MATCHES "(^|\n)E: ")
  message(FATAL_ERROR "lintian reports errors on the package")
endif()
file(REMOVE_RECURSE "${WORK}")
