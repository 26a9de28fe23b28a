# Each program prints "<program> <version>" for --version and exits 0, with a display and
# without one, and its manual page describes every option its --help lists.
# Run: cmake -DPROGRAMS=|<name>=<path>|... -DVERSION=... -DMAN_DIR=<man sources> -P ...
cmake_policy(VERSION 3.25)
string(REPLACE "|" ";" PROGRAMS "${PROGRAMS}")
list(REMOVE_ITEM PROGRAMS "")
foreach(entry IN LISTS PROGRAMS)
  string(REGEX REPLACE "=.*" "" name "${entry}")
  string(REGEX REPLACE "^[^=]*=" "" path "${entry}")
  foreach(display_env "" "--unset=DISPLAY;--unset=WAYLAND_DISPLAY;--unset=QT_QPA_PLATFORM")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${display_env} ${path} --version
      RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT out STREQUAL "${name} ${VERSION}\n")
      message(FATAL_ERROR "${name} --version (${display_env}): exit ${rc}, printed \"${out}\" ${err}")
    endif()
  endforeach()

  execute_process(COMMAND ${path} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
  file(GLOB page ${MAN_DIR}/${name}.1.scd)
  if(NOT rc EQUAL 0 OR NOT page)
    message(FATAL_ERROR "${name} --help exited ${rc}, or there is no ${MAN_DIR}/${name}.1.scd")
  endif()
  file(READ ${page} text)
  string(REGEX REPLACE [=[[][]]=] " " help "${help}")  # brackets would split a CMake list oddly
  string(REGEX MATCHALL [=[(^|[^A-Za-z0-9_-])--?[a-z][a-z0-9-]*]=] options "${help}")
  list(TRANSFORM options REPLACE [=[^[^-]+]=] "")
  list(REMOVE_DUPLICATES options)
  foreach(option IN LISTS options)
    # Written in the page in bold: *--option*
    string(FIND "${text}" "*${option}*" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${name}(1) does not describe ${option}, which --help lists")
    endif()
  endforeach()
  message(STATUS "${name}: ${options}")
endforeach()
