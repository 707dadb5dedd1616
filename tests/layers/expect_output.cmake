# cmake -DCOMMAND=program -DROOT=dir -DCODE=n [-DEXPECTED=file] -P expect_output.cmake
# Runs "program ROOT" and fails unless it exits with CODE and, when EXPECTED
# is given, prints exactly the lines of that file.
execute_process(COMMAND ${COMMAND} ${ROOT} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(failed FALSE)
if(NOT code STREQUAL CODE)
  message(SEND_ERROR "${COMMAND} ${ROOT} exited with ${code}, expected ${CODE}")
  set(failed TRUE)
endif()
if(DEFINED EXPECTED)
  file(READ ${EXPECTED} expected)
  if(NOT out STREQUAL expected)
    message(SEND_ERROR "output differs from ${EXPECTED}")
    set(failed TRUE)
  endif()
endif()
if(failed)
  message(STATUS "standard output:\n${out}standard error:\n${err}")
endif()
