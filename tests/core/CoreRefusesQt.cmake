# Checks that a core source cannot include Qt. Run with -P and:
#   COMPILER, STANDARD (e.g. 20), INCLUDES and DEFINITIONS (lists taken from
#   tarvine_core), SOURCE (the probe file).
list(TRANSFORM INCLUDES PREPEND "-I")
list(TRANSFORM DEFINITIONS PREPEND "-D")
set(compile ${COMPILER} -std=c++${STANDARD} -fsyntax-only ${INCLUDES} ${DEFINITIONS} ${SOURCE})

execute_process(COMMAND ${compile} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "The probe does not build even without Qt, so it proves nothing:\n${errors}")
endif()

execute_process(COMMAND ${compile} -DPROBE_INCLUDES_QT RESULT_VARIABLE status ERROR_VARIABLE errors)
if(status EQUAL 0)
  message(FATAL_ERROR "A core source including <QString> builds: Qt is on the core's include path.")
endif()
if(NOT errors MATCHES "QString")
  message(FATAL_ERROR "The probe with <QString> failed for another reason:\n${errors}")
endif()
message(STATUS "The core's include folders have no Qt.")
