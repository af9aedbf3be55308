# Draws one icon with house-snapshot:
#   cmake -DSNAPSHOT=... -DSIZE=48 -DSUPERSAMPLE=4 -DVIEW="keys" -DOUTPUT=... -DFALLBACK=... -P draw-icon.cmake
# The tool needs a working EGL driver when it runs, not only when it is
# built; where it cannot draw, the build goes on with the committed copy
# and says so, rather than failing for want of an icon.
execute_process(
  COMMAND ${SNAPSHOT} --size ${SIZE}x${SIZE} --supersample ${SUPERSAMPLE} --keys ${VIEW} ${OUTPUT}
  RESULT_VARIABLE status
  OUTPUT_QUIET
  ERROR_VARIABLE error)
if(NOT status EQUAL 0)
  string(STRIP "${error}" error)
  message(WARNING "house-snapshot could not draw the ${SIZE} px icon (${error}); "
    "using the committed copy")
  configure_file(${FALLBACK} ${OUTPUT} COPYONLY)
endif()
