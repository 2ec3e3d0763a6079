# Runs "skinbuilder list" on SKIN and compares its output with the file EXPECTED.
execute_process(COMMAND ${TOOL} list ${SKIN} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "list exited with ${rc}")
endif()
file(READ ${EXPECTED} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "list output differs from ${EXPECTED}:\n${out}")
endif()
