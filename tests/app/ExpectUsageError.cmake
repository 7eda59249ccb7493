# calvaro with an option it does not know: exit status 2 and a message naming the option.
execute_process(COMMAND ${PROGRAM} --no-such-option ERROR_VARIABLE err RESULT_VARIABLE status TIMEOUT 30)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "exit status ${status}, expected 2 (stderr: ${err})")
endif()
if(NOT err MATCHES "unknown option --no-such-option")
  message(FATAL_ERROR "the message does not name the option: ${err}")
endif()
