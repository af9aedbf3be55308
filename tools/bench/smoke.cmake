# Runs house-bench on a handful of frames and checks that it finishes and
# prints every part of its table. The figures themselves are not judged.
if(NOT BENCH)
  message(FATAL_ERROR "usage: cmake -DBENCH=<house-bench> -P smoke.cmake")
endif()
execute_process(
  COMMAND ${BENCH} --frames 3 --startup-runs 1 --idle-seconds 0.2
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  TIMEOUT 240)
message("${output}${errors}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "house-bench exited with ${status}")
endif()
foreach(row "Machine" "GL, headless" "One frame of the scene" "(a) program: display()"
            "(b) floor: clear + glFinish" "(c) reference: one VBO glDrawArrays" "a/b" "a/c"
            "pixels where (a) and (c) differ" "Program's own code" "share of (a)"
            "Start-up of the real program" "Targets")
  string(FIND "${output}" "${row}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "house-bench printed no '${row}'")
  endif()
endforeach()
