# Installs libkorvel into a scratch prefix, builds a C program against the installed files (CMake
# package and pkg-config), runs it on the simulated unit and checks the unit's state file.
# Run: cmake -DBUILD_DIR=... -DWORK_DIR=... -DSOURCE_DIR=<installed_program> -DGENERATOR=...
#            [-DEXTRA_FLAGS=...] -P check_installed_library.cmake
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
  endif()
endfunction()

foreach(component libkorvel korvel)  # the library, then what building against it needs
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --component ${component} --prefix ${prefix})
endforeach()
file(GLOB_RECURSE pc_files ${prefix}/*/korvel.pc)
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir ${pc_file} DIRECTORY)

run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir}
    ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_C_FLAGS=${EXTRA_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${EXTRA_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)

# Checks one state file: expander bytes (IO0-IO7) and DAC 0 input codes.
function(expect_state file pattern divide clock_pin duty_code amplitude_code)
  file(READ ${file} state)
  string(JSON p GET "${state}" expanders 7 pins)
  string(JSON d GET "${state}" expanders 2 pins)
  string(JSON c GET "${state}" expanders 3 pins)
  string(JSON duty GET "${state}" dacs 0 2 code)
  string(JSON amp GET "${state}" dacs 0 3 code)
  math(EXPR p "${p} & 0xFF")
  math(EXPR d "${d} & 0xFF")
  math(EXPR c "${c} & 1")
  set(got "${p} ${d} ${c} ${duty} ${amp}")
  set(want "${pattern} ${divide} ${clock_pin} ${duty_code} ${amplitude_code}")
  if(NOT got STREQUAL want)
    message(FATAL_ERROR "${file}: got ${got}, expected ${want}")
  endif()
endfunction()

set(sim_env KORVEL_BACKEND=sim ASAN_OPTIONS=detect_leaks=0)
run(${CMAKE_COMMAND} -E env ${sim_env} KORVEL_SIM_STATE=${WORK_DIR}/cmake.json
    ${WORK_DIR}/build/set_unit_cmake 4 256 1 2.5 2.2)
expect_state(${WORK_DIR}/cmake.json 4 0 0 3103 2730)

# The pkg-config build carries no run path: the loader is told where the library is.
run(${CMAKE_COMMAND} -E env ${sim_env} KORVEL_SIM_STATE=${WORK_DIR}/pkgconfig.json
    LD_LIBRARY_PATH=${prefix}/lib:${pc_dir}/..
    ${WORK_DIR}/build/set_unit_pkgconfig 0 -5 0 5.0 0.0)
expect_state(${WORK_DIR}/pkgconfig.json 1 1 1 4095 2234)
