# Builds the Debian packages with cpack, has lintian check them, unpacks them into a scratch root
# and uses what they hold: the programs, manual pages, completion, Python package and libkorvel
# from C through pkg-config and through find_package(korvel).
# Run: cmake -DBUILD_DIR=... -DWORK_DIR=... -DGUI=ON|OFF -DVERSION=... -DSOURCE_DIR=... -P ...
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(root ${WORK_DIR}/root)

function(run out_var)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

function(expect_in text)
  foreach(wanted ${ARGN})
    string(FIND "${text}" "${wanted}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "\"${wanted}\" is missing from:\n${text}")
    endif()
  endforeach()
endfunction()

get_filename_component(cmake_bin ${CMAKE_COMMAND} DIRECTORY)
run(ignored ${cmake_bin}/cpack -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR})
execute_process(COMMAND dpkg-architecture -qDEB_HOST_ARCH OUTPUT_VARIABLE arch
  OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND dpkg-architecture -qDEB_HOST_MULTIARCH OUTPUT_VARIABLE triplet
  OUTPUT_STRIP_TRAILING_WHITESPACE)
set(debs)
foreach(name korvel_${VERSION}_${arch} libkorvel1_${VERSION}_${arch}
             libkorvel-dev_${VERSION}_${arch} python3-korvel_${VERSION}_all)
  if(NOT EXISTS ${WORK_DIR}/${name}.deb)
    file(GLOB made ${WORK_DIR}/*.deb)
    message(FATAL_ERROR "${name}.deb was not made; cpack made: ${made}")
  endif()
  list(APPEND debs ${WORK_DIR}/${name}.deb)
endforeach()

# lintian: no error and no warning (the overrides the packages carry say why each is there).
find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message(FATAL_ERROR "lintian not found (Debian package lintian)")
endif()
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --no-tag-display-limit ${debs}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR out MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "lintian (exit ${rc}):\n${out}${err}")
endif()

set(lib usr/lib/${triplet})
set(expected
  korvel:./usr/bin/korvelctl korvel:./usr/bin/korvel-gpib
  korvel:./usr/share/man/man1/korvelctl.1.gz korvel:./usr/share/man/man1/korvel-gpib.1.gz
  korvel:./usr/share/bash-completion/completions/korvelctl
  korvel:./usr/share/bash-completion/completions/korvel-gpib
  libkorvel1:./${lib}/libkorvel.so.1 libkorvel1:./usr/lib/udev/rules.d/60-korvel.rules
  libkorvel-dev:./usr/include/korvel.h libkorvel-dev:./${lib}/libkorvel.so
  libkorvel-dev:./${lib}/pkgconfig/korvel.pc libkorvel-dev:./${lib}/cmake/korvel/korvelConfig.cmake
  libkorvel-dev:./usr/share/man/man3/libkorvel.3.gz
  python3-korvel:./usr/lib/python3/dist-packages/korvel/__init__.py
  python3-korvel:./usr/lib/python3/dist-packages/korvel/py.typed)
if(GUI)
  list(APPEND expected korvel:./usr/bin/korvel korvel:./usr/share/man/man1/korvel.1.gz
                       korvel:./usr/share/applications/korvel.desktop)
endif()
foreach(deb ${debs})
  string(REGEX REPLACE ".*/([^_]*)_.*" "\\1" package ${deb})
  run(contents dpkg-deb --contents ${deb})
  foreach(entry ${expected})
    if(entry MATCHES "^${package}:(.*)")
      expect_in("${contents}" " ${CMAKE_MATCH_1}")
    endif()
  endforeach()
  run(fields dpkg-deb --field ${deb} Package Depends Recommends)
  set(${package}_fields "${fields}")
  run(ignored dpkg-deb -x ${deb} ${root})
endforeach()
expect_in("${korvel_fields}" "libftdi1-2" "libusb-1.0-0" "libstdc++6" "libkorvel1 (= ${VERSION})")
expect_in("${libkorvel1_fields}" "Recommends: udev")
expect_in("${libkorvel-dev_fields}" "libkorvel1 (= ${VERSION})")
if(GUI)
  expect_in("${korvel_fields}" "libqt6widgets6" "libavahi-client3" "Recommends: avahi-daemon")
endif()

# What a user of the installed packages does.
run(version ${root}/usr/bin/korvelctl --version)
expect_in("${version}" "korvelctl ${VERSION}\n")
run(page man -M ${root}/usr/share/man -w korvelctl)
expect_in("${page}" "${root}/usr/share/man/man1/korvelctl.1.gz")
run(completion bash -c
  "source '${root}/usr/share/bash-completion/completions/korvelctl' && complete -p korvelctl")
expect_in("${completion}" "_korvelctl")
set(sim_env KORVEL_BACKEND=sim KORVEL_SIM_STATE=${WORK_DIR}/unit.json
            LD_LIBRARY_PATH=${root}/${lib})
run(python ${CMAKE_COMMAND} -E env PYTHONPATH=${root}/usr/lib/python3/dist-packages ${sim_env}
  PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -c [[
import korvel
print(korvel.__version__)
with korvel.Korvel() as unit:
    unit.select_pattern("PRBS9")
    print(unit.status()["pattern"])
]])
expect_in("${python}" "${VERSION}\nPRBS9\n")

file(READ ${root}/${lib}/pkgconfig/korvel.pc pc)
expect_in("${pc}" "prefix=/usr\n" "libdir=\${prefix}/lib/${triplet}\n")
file(WRITE ${WORK_DIR}/program.c [[
#include <korvel.h>
int main(void) {
    if (korvel_usb_init() != 1) return 1;
    return korvel_prbs_select(KORVEL_PRBS31) == 1 && korvel_usb_close() == 1 ? 0 : 1;
}
]])
run(flags ${CMAKE_COMMAND} -E env PKG_CONFIG_SYSROOT_DIR=${root}
  PKG_CONFIG_LIBDIR=${root}/${lib}/pkgconfig PKG_CONFIG_ALLOW_SYSTEM_CFLAGS=1
  PKG_CONFIG_ALLOW_SYSTEM_LIBS=1 pkg-config --cflags --libs korvel)
expect_in("${flags}" "-I${root}/usr/include" "-L${root}/${lib}" "-lkorvel")
separate_arguments(flags UNIX_COMMAND "${flags}")
run(ignored cc -o ${WORK_DIR}/program_pkg_config ${WORK_DIR}/program.c ${flags})
run(ignored ${CMAKE_COMMAND} -E env ${sim_env} ${WORK_DIR}/program_pkg_config)

file(WRITE ${WORK_DIR}/project/CMakeLists.txt [[
cmake_minimum_required(VERSION 3.16)
project(uses_korvel C)
find_package(korvel 1.4 REQUIRED)
add_executable(program_cmake ../program.c)
target_link_libraries(program_cmake PRIVATE korvel::korvel)
]])
run(ignored ${CMAKE_COMMAND} -S ${WORK_DIR}/project -B ${WORK_DIR}/project/build -G Ninja
  -DCMAKE_PREFIX_PATH=${root}/usr)
run(ignored ${CMAKE_COMMAND} --build ${WORK_DIR}/project/build)
run(ignored ${CMAKE_COMMAND} -E env ${sim_env} ${WORK_DIR}/project/build/program_cmake)
