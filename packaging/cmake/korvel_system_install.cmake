# What makes the programs part of the system: the udev rule where udev reads packaged rules
# (lib/udev/rules.d under the prefix: /usr/lib/udev/rules.d from the Debian package,
# /usr/local/lib/udev/rules.d from a plain install), the desktop entry and icon that put the
# program in the desktop's menu, manual pages, bash completion, the Python package and each
# Debian package's copyright and changelog. The rule goes with the library (every program that
# drives the unit needs it), the entry and icon with the GUI program.
include(${CMAKE_CURRENT_LIST_DIR}/korvel_dirs.cmake)
set(pkg ${PROJECT_SOURCE_DIR}/packaging)

install(FILES ${pkg}/udev/60-korvel.rules DESTINATION lib/udev/rules.d COMPONENT libkorvel)
if(TARGET korvel)
  install(FILES ${pkg}/desktop/korvel.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT korvel_gui)
  install(FILES ${pkg}/icons/korvel.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT korvel_gui)
endif()

foreach(entry korvelctl:korvelctl korvel-gpib:korvel_gpib)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 program)
  list(GET entry 1 component)
  install(FILES ${pkg}/bash-completion/${program}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT ${component})
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/korvel DESTINATION ${KORVEL_INSTALL_PYTHONDIR}
  COMPONENT python FILES_MATCHING PATTERN "*.py" PATTERN "py.typed" PATTERN "__pycache__" EXCLUDE)

# Manual pages: scdoc turns each source (packaging/man/<name>.<section>.scd) into roff at build
# time; they are installed compressed, as Debian keeps them.
function(korvel_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9nc ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  set_property(DIRECTORY APPEND PROPERTY korvel_gz_files ${output})
endfunction()

find_program(KORVEL_SCDOC scdoc)
set(man_pages korvelctl.1:korvelctl korvel-gpib.1:korvel_gpib libkorvel.3:korvel)
if(TARGET korvel)
  list(APPEND man_pages korvel.1:korvel_gui)
endif()
if(NOT KORVEL_SCDOC)
  message(WARNING "scdoc not found (Debian package scdoc): manual pages not built")
else()
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)
  foreach(entry ${man_pages})
    string(REPLACE ":" ";" entry ${entry})
    list(GET entry 0 page)
    list(GET entry 1 component)
    string(REGEX REPLACE ".*\\." "" section ${page})
    set(roff ${PROJECT_BINARY_DIR}/man/${page})
    add_custom_command(OUTPUT ${roff}
      COMMAND ${KORVEL_SCDOC} < ${pkg}/man/${page}.scd > ${roff}
      DEPENDS ${pkg}/man/${page}.scd VERBATIM)
    korvel_gzip(${roff} ${roff}.gz)
    install(FILES ${roff}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${component})
  endforeach()
endif()

# Every Debian package carries the copyright (the LICENSE, in Debian's machine-readable form) and
# the changelog in /usr/share/doc/<package>.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
# The licence's own text, from "Permission is hereby granted" on; the copyright line goes above.
string(REGEX REPLACE "^.*\n(Permission )" "\\1" license "${license}")
string(REGEX REPLACE "\n+$" "" license "${license}")
string(REGEX REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " KORVEL_LICENSE_TEXT " ${license}")
configure_file(${pkg}/debian/copyright.in ${PROJECT_BINARY_DIR}/debian/copyright @ONLY)
korvel_gzip(${pkg}/debian/changelog ${PROJECT_BINARY_DIR}/debian/changelog.gz)
foreach(entry korvel:korvelctl libkorvel1:libkorvel libkorvel-dev:korvel python3-korvel:python)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 package)
  list(GET entry 1 component)
  install(FILES ${PROJECT_BINARY_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

get_property(gz_files DIRECTORY PROPERTY korvel_gz_files)
add_custom_target(korvel_docs ALL DEPENDS ${gz_files})
