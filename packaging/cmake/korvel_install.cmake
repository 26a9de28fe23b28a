# Installs libkorvel for other programs: the library, its C header, a CMake package
# (find_package(korvel) -> korvel::korvel) and a pkg-config file (korvel.pc). Everything is in the
# install component "korvel": cmake --install <build> --component korvel.
include(CMakePackageConfigHelpers)

set(KORVEL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/korvel)

install(TARGETS libkorvel EXPORT korvelTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT korvel NAMELINK_COMPONENT korvel
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT korvel)
install(EXPORT korvelTargets NAMESPACE korvel:: DESTINATION ${KORVEL_CMAKE_DIR} COMPONENT korvel)

configure_package_config_file(${PROJECT_SOURCE_DIR}/packaging/cmake/korvelConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/korvelConfig.cmake INSTALL_DESTINATION ${KORVEL_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/korvelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/korvelConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/korvelConfigVersion.cmake
  DESTINATION ${KORVEL_CMAKE_DIR} COMPONENT korvel)

# The .pc file finds its prefix from its own place, so the installed tree can be moved.
file(RELATIVE_PATH KORVEL_PC_PREFIX_FROM_PCFILEDIR
  /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${PROJECT_SOURCE_DIR}/packaging/pkgconfig/korvel.pc.in
  ${CMAKE_CURRENT_BINARY_DIR}/korvel.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/korvel.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT korvel)
