# SPDX-License-Identifier: GPL-3.0-or-later
# Every source, script and build file of the project says under which licence it is given, in
# one of its first lines, so that a file copied on its own still carries it.
# Arguments: SOURCE_DIR.
cmake_minimum_required(VERSION 3.25)

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/CMakeLists.txt"
  "${SOURCE_DIR}/tests/*.cpp" "${SOURCE_DIR}/tests/*.h" "${SOURCE_DIR}/tests/*.cmake"
  "${SOURCE_DIR}/tests/CMakeLists.txt" "${SOURCE_DIR}/bench/*.cpp" "${SOURCE_DIR}/bench/*.h"
  "${SOURCE_DIR}/bench/CMakeLists.txt" "${SOURCE_DIR}/fuzz/*.cpp" "${SOURCE_DIR}/fuzz/CMakeLists.txt"
  "${SOURCE_DIR}/scripts/*.sh" "${SOURCE_DIR}/scripts/*.py" "${SOURCE_DIR}/cmake/*.cmake")
list(APPEND files CMakeLists.txt run.sh test.sh)
set(missing "")
foreach(file IN LISTS files)
  file(STRINGS "${SOURCE_DIR}/${file}" head LIMIT_COUNT 3)
  if(NOT head MATCHES "SPDX-License-Identifier: GPL-3.0-or-later")
    string(APPEND missing "\n  ${file}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "These files do not name their licence (SPDX-License-Identifier) in their "
                      "first lines:${missing}")
endif()
