# cpack -G DEB: one Debian package "korvel" with everything cmake --install puts in place (the
# GUI program, korvelctl, libkorvel with its header and CMake/pkg-config files, the udev rule,
# the desktop entry and icon). Its dependencies are read off the binaries by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME korvel)
set(CPACK_PACKAGE_VENDOR "KORVEL")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control software for the KORVEL USB PRBS pattern generator")
set(CPACK_PACKAGE_DESCRIPTION
  "Front-panel program, command-line tool (korvelctl) and C library (libkorvel) for the KORVEL
USB PRBS pattern generator, with the udev rule that lets the logged-in user open the unit.")
set(CPACK_PACKAGE_CONTACT "KORVEL software <software@korvel.invalid>")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# udev applies the rule; without it only root can open the unit.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS udev)
set(CPACK_STRIP_FILES ON)
include(CPack)
