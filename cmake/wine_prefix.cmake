# cmake -P script: creates the Wine configuration named in ENVIRONMENT's WINEPREFIX, waits until
# Wine has finished with it, and touches STAMP. Wine's chatter is shown only when this fails.
execute_process(
  COMMAND /usr/bin/env ${ENVIRONMENT} ${WINE} wineboot --init
  RESULT_VARIABLE boot_result OUTPUT_VARIABLE boot_output ERROR_VARIABLE boot_output)
execute_process(COMMAND /usr/bin/env ${ENVIRONMENT} ${WINESERVER} --wait)
if(NOT boot_result EQUAL 0)
  message(FATAL_ERROR "wineboot failed (${boot_result}):\n${boot_output}")
endif()
file(TOUCH ${STAMP})
