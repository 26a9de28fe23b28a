# scripts/emulated-usb's runner with korvelctl: a setting made through libftdi on the emulated
# FT232R lands in the state file, the command's exit status comes back, the traffic is reported.
# Run: cmake -DRUNNER=<path> -DKORVELCTL=<path> -DWORK_DIR=<dir> -P runner_test.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(state ${WORK_DIR}/unit.json)

function(run expected_rc output_var)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL expected_rc)
    message(FATAL_ERROR "${ARGN}: exit ${rc}, expected ${expected_rc}\n${out}${err}")
  endif()
  set(${output_var} "${out}${err}" PARENT_SCOPE)
endfunction()

run(0 out ${RUNNER} --state ${state} --trace ${WORK_DIR}/bus.vcd --latency-us 200
    -- ${KORVELCTL} set pattern PRBS15 divide 16)
if(NOT out MATCHES "usb: [1-9][0-9]* requests, [1-9][0-9]* round trips")
  message(FATAL_ERROR "no traffic line:\n${out}")
endif()
if(NOT EXISTS ${WORK_DIR}/bus.vcd)
  message(FATAL_ERROR "--trace wrote no bus trace")
endif()

# The simulated backend reads the same unit back from the file.
run(0 out ${KORVELCTL} --simulate --sim-state ${state} status --json)
string(JSON name GET "${out}" pattern name)
string(JSON byte GET "${out}" divide_ratio byte)
if(NOT "${name} ${byte}" STREQUAL "PRBS15 16")
  message(FATAL_ERROR "status after set through the emulated USB: ${name} ${byte}\n${out}")
endif()

run(64 out ${RUNNER} --state ${state} -- ${KORVELCTL} set pattern PRBS15 divide 0)
run(2 out ${RUNNER} --latency-us lots -- ${KORVELCTL} status)
run(2 out ${RUNNER} --state ${state})


# A user without permission on the device node (root-owned 0664, as without our udev rule) is
# told how to install the rule. Needs root to take another user's identity with setpriv.
find_program(SETPRIV setpriv)
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
if(uid STREQUAL "0" AND SETPRIV)
  run(69 out ${RUNNER} --state ${state}
      -- ${SETPRIV} --reuid=65534 --regid=65534 --clear-groups ${KORVELCTL} status)
  if(NOT out MATCHES "has no permission to open it. Install its udev rule")
    message(FATAL_ERROR "no permission hint for a user who may not open the unit:\n${out}")
  endif()
else()
  message(STATUS "not root, or no setpriv: the permission hint is not tested")
endif()
