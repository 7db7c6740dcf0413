# Runs the built program with arguments it must refuse: each prints the usage
# text to standard error and ends with status 2 before any window is made.
# Qt's own options are taken by Qt and do not count.
#   cmake -DPROGRAM=path/to/virevi -P command_line_usage.cmake
set(cases
  "--bogus"
  "a.Trr|b.Trr"
  "-platform|offscreen|-x"
  "-platform|offscreen|a.Trr|b.Trr"
  "-")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" arguments "${case}")
  execute_process(COMMAND "${PROGRAM}" ${arguments}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
  if(NOT status EQUAL 2)
    message(FATAL_ERROR "virevi ${arguments}: status ${status}, not 2 (${err})")
  endif()
  if(NOT err MATCHES "使い方: virevi \\[ファイル\\]\n")
    message(FATAL_ERROR "virevi ${arguments}: no usage text on standard error: ${err}")
  endif()
  if(NOT out STREQUAL "")
    message(FATAL_ERROR "virevi ${arguments}: wrote to standard output: ${out}")
  endif()
endforeach()
