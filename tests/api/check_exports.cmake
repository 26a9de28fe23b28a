# The shared library's dynamic symbol table must define exactly the seven functions, under its
# SONAME libkorvel.so.1. Run: cmake -DLIBRARY=<path> -DNM=<nm> -DREADELF=<readelf> -P ...
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(names)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
set(expected ClockOutput1 prbs_select set_amplitude set_divide_ratio set_dutycycle usb_close
             usb_init)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exported: ${names}\nexpected: ${expected}")
endif()

execute_process(COMMAND ${READELF} -d ${LIBRARY} OUTPUT_VARIABLE dynamic)
if(NOT dynamic MATCHES "Library soname: \\[libkorvel\\.so\\.1\\]")
  message(FATAL_ERROR "SONAME is not libkorvel.so.1:\n${dynamic}")
endif()
message(STATUS "exports: ${names}")
