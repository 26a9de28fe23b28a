# The korvelctl binary in separate processes sharing one simulated unit through its state file:
# set, then status --json sees it; bad arguments exit 64 and leave the file alone.
# Run: cmake -DKORVELCTL=<path> -DWORK_DIR=<dir> -P cli_round_trip.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(state ${WORK_DIR}/unit.json)
set(common --simulate --sim-state ${state})

function(korvelctl expected_rc output_var)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${KORVELCTL} ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL expected_rc)
    message(FATAL_ERROR "korvelctl ${ARGN}: exit ${rc}, expected ${expected_rc}\n${out}${err}")
  endif()
  set(${output_var} "${out}${err}" PARENT_SCOPE)
endfunction()

korvelctl(0 out ${common} --trace ${WORK_DIR}/bus.vcd set pattern PRBS23 divide 16 duty 3.0)
korvelctl(0 out ${common} status --json)
string(JSON name GET "${out}" pattern name)
string(JSON byte GET "${out}" divide_ratio byte)
string(JSON duty GET "${out}" duty_cycle code)
if(NOT "${name} ${byte} ${duty}" STREQUAL "PRBS23 16 3723")
  message(FATAL_ERROR "status after set: ${name} ${byte} ${duty}\n${out}")
endif()
if(NOT EXISTS ${WORK_DIR}/bus.vcd)
  message(FATAL_ERROR "--trace wrote no bus trace")
endif()

file(READ ${state} before)
korvelctl(64 out ${common} set pattern PRBS23 divide 0)
file(READ ${state} after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "a refused command changed the unit")
endif()
