# Installs libkorvel for other programs. Two install components:
#   libkorvel  the shared library libkorvel.so.1 (what programs need to run)
#   korvel     what a program needs to be built against it: korvel.h, libkorvel.so, a CMake
#              package (find_package(korvel) -> korvel::korvel), a pkg-config file (korvel.pc)
#              and the manual page libkorvel(3)
include(CMakePackageConfigHelpers)
include(${CMAKE_CURRENT_LIST_DIR}/korvel_dirs.cmake)

set(KORVEL_CMAKE_DIR ${KORVEL_INSTALL_LIBDIR}/cmake/korvel)

install(TARGETS libkorvel EXPORT korvelTargets
  LIBRARY DESTINATION ${KORVEL_INSTALL_LIBDIR} COMPONENT libkorvel NAMELINK_COMPONENT korvel
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT korvel)
install(EXPORT korvelTargets NAMESPACE korvel:: DESTINATION ${KORVEL_CMAKE_DIR} COMPONENT korvel)

configure_package_config_file(${PROJECT_SOURCE_DIR}/packaging/cmake/korvelConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/korvelConfig.cmake INSTALL_DESTINATION ${KORVEL_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/korvelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/korvelConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/korvelConfigVersion.cmake
  DESTINATION ${KORVEL_CMAKE_DIR} COMPONENT korvel)

# korvel.pc names the prefix it is installed under (/usr from the Debian package), written at
# install time, so pkg-config prints plain paths (none at all for /usr/include and /usr/lib).
set(KORVEL_PC_LIBDIR ${KORVEL_INSTALL_LIBDIR})
set(KORVEL_PC_PREFIX "@KORVEL_PC_PREFIX@")  # kept for the install-time pass
configure_file(${PROJECT_SOURCE_DIR}/packaging/pkgconfig/korvel.pc.in
  ${CMAKE_CURRENT_BINARY_DIR}/korvel.pc.in @ONLY)
install(CODE "
  set(pc \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KORVEL_INSTALL_LIBDIR}/pkgconfig/korvel.pc\")
  set(KORVEL_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${CMAKE_CURRENT_BINARY_DIR}/korvel.pc.in\" \"\${pc}\" @ONLY)
  message(STATUS \"Installing: \${pc}\")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${pc}\")" COMPONENT korvel)
