# Writes routine_files.inc: for every routine the traced scene's objects
# define, its symbol and the file under src/ it was compiled from, as C++
# initialisers. Run by the build with NM, OBJECTS (the objects' paths
# apart by |) and OUTPUT.
string(REPLACE "|" ";" objects "${OBJECTS}")
set(entries "")
foreach(object IN LISTS objects)
  # The object of src/grounds/fence.cpp is .../src/grounds/fence.cpp.o.
  string(REGEX MATCH "src/.*\\.cpp" file "${object}")
  execute_process(COMMAND ${NM} --defined-only --format=posix "${object}"
    OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR file STREQUAL "")
    message(FATAL_ERROR "cannot list the routines of ${object}")
  endif()
  string(REPLACE "\n" ";" lines "${symbols}")
  foreach(line IN LISTS lines)
    # "NAME TYPE VALUE SIZE": T, t and W are code.
    if(line MATCHES "^([^ ]+) [TtW] ")
      string(APPEND entries "    {\"${CMAKE_MATCH_1}\", \"${file}\"},\n")
    endif()
  endforeach()
endforeach()
file(WRITE "${OUTPUT}.new" "${entries}")
# Written only when it changes, so that nothing is rebuilt for nothing.
configure_file("${OUTPUT}.new" "${OUTPUT}" COPYONLY)
file(REMOVE "${OUTPUT}.new")
