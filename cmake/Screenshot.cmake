# Runs one screenshot script through the headless driver: cmake -DTOOL=... -DCONTAINER=... -DSEED=...
# -DSCRIPT=NAME.play -DOUT=DIR -P Screenshot.cmake. The script's snapshot lands in DIR; any command the
# driver refuses fails the build, so a change to the game that breaks a screenshot is noticed.
execute_process(
  COMMAND ${TOOL} play --seed ${SEED} --container ${CONTAINER}
  INPUT_FILE ${SCRIPT}
  WORKING_DIRECTORY ${OUT}
  OUTPUT_VARIABLE answers
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "screenshot ${SCRIPT}: the driver failed (${status}): ${errors}")
endif()
string(REGEX MATCH "{\"error\":[^\n]*" refused "${answers}")
if(refused)
  message(FATAL_ERROR "screenshot ${SCRIPT}: ${refused}")
endif()
