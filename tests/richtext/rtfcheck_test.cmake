# SPDX-License-Identifier: GPL-3.0-or-later
# Runs rtfcheck as a user would: a fixture prints its expected text and saves a copy that prints
# the same; a damaged file prints what could be read, explains on standard error and fails.
# Called with -DRTFCHECK=<program> -DFIXTURES=<folder> -DWORK=<scratch folder>.
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${RTFCHECK} ${FIXTURES}/re-basic.rtf ${WORK}/copy.rtf
  OUTPUT_VARIABLE text RESULT_VARIABLE status)
file(READ ${FIXTURES}/re-basic.expected.txt expected)
if(NOT status EQUAL 0 OR NOT text STREQUAL expected)
  message(FATAL_ERROR "re-basic.rtf: status ${status}, text:\n${text}")
endif()
execute_process(COMMAND ${RTFCHECK} ${WORK}/copy.rtf OUTPUT_VARIABLE again RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT again STREQUAL expected)
  message(FATAL_ERROR "the saved copy: status ${status}, text:\n${again}")
endif()

file(WRITE ${WORK}/damaged.rtf "{\\rtf1 first\\par second {\\b bold")
execute_process(COMMAND ${RTFCHECK} ${WORK}/damaged.rtf
  OUTPUT_VARIABLE text ERROR_VARIABLE error RESULT_VARIABLE status)
if(status EQUAL 0 OR NOT text STREQUAL "first\nsecond bold\n" OR NOT error MATCHES "閉じ括弧")
  message(FATAL_ERROR "damaged.rtf: status ${status}, text:\n${text}\nerror: ${error}")
endif()

execute_process(COMMAND ${RTFCHECK} ${WORK}/missing.rtf RESULT_VARIABLE status
  ERROR_VARIABLE error)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "missing.rtf: status ${status}")
endif()
