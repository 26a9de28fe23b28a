# Installs the whole build into a scratch prefix and checks each file is where the system reads
# it. Run: cmake -DBUILD_DIR=... -DWORK_DIR=... -DGUI=ON|OFF -P check_install.cmake
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

set(expected
  bin/korvelctl
  lib/udev/rules.d/60-korvel.rules
  include/korvel.h)
if(GUI)
  list(APPEND expected
    bin/korvel
    share/applications/korvel.desktop
    share/icons/hicolor/scalable/apps/korvel.svg)
endif()
foreach(f ${expected})
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(GLOB_RECURSE libraries ${prefix}/lib*/libkorvel.so.1)
if(NOT libraries)
  message(FATAL_ERROR "libkorvel.so.1 not installed under ${prefix}/lib")
endif()

# udev reads lib/udev/rules.d under /usr and /usr/local, not the multiarch library folder.
file(READ ${prefix}/lib/udev/rules.d/60-korvel.rules rule)
if(NOT rule MATCHES "ATTRS\\{product\\}==\"ZEVA_KORVEL\"")
  message(FATAL_ERROR "the installed udev rule does not match the unit")
endif()

if(GUI)
  find_program(VALIDATE desktop-file-validate)
  if(NOT VALIDATE)
    message(FATAL_ERROR "desktop-file-validate not found (Debian package desktop-file-utils)")
  endif()
  # desktop-file-validate exits 0 with hints; warnings and errors are what matter.
  execute_process(COMMAND ${VALIDATE} ${prefix}/share/applications/korvel.desktop
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR out MATCHES "(error|warning):")
    message(FATAL_ERROR "desktop-file-validate refused the entry:\n${out}")
  endif()
  file(READ ${prefix}/share/applications/korvel.desktop entry)
  foreach(line "Exec=korvel --data-dir" "Icon=korvel" "Categories=Science;Electronics;")
    string(FIND "${entry}" "${line}\n" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the desktop entry lacks \"${line}\"")
    endif()
  endforeach()
endif()
