# cpack -G DEB: the Debian packages, split the way Debian splits a library:
#   korvel          the programs (korvel, korvelctl, korvel-gpib), their manual pages and bash
#                   completion, the desktop entry and icon
#   libkorvel1      libkorvel.so.1 and the udev rule that lets the logged-in user open the unit
#   libkorvel-dev   korvel.h, libkorvel.so, the CMake and pkg-config files, libkorvel(3)
#   python3-korvel  the Python package korvel for the system's python3
# They install under /usr whatever prefix the build folder was configured with. Dependencies on
# other libraries are read off the binaries by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME korvel)
set(CPACK_PACKAGE_VENDOR "KORVEL")
set(CPACK_PACKAGE_CONTACT "KORVEL software <software@korvel.invalid>")
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Installed with DESTDIR and the prefix /usr, so that files written at install time (korvel.pc)
# name /usr, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(deb ${PROJECT_SOURCE_DIR}/packaging/debian)
set(CPACK_DEBIAN_KORVEL_PACKAGE_NAME korvel)
set(CPACK_DEBIAN_KORVEL_PACKAGE_SECTION science)
set(CPACK_DEBIAN_KORVEL_PACKAGE_DEPENDS "libkorvel1 (= ${PROJECT_VERSION})")
# Lab software finds korvel --remote through rpcbind (VXI-11) and avahi-daemon (DNS-SD).
set(CPACK_DEBIAN_KORVEL_PACKAGE_RECOMMENDS "avahi-daemon, rpcbind")
set(CPACK_DEBIAN_KORVEL_DESCRIPTION
  "control programs for the KORVEL USB PRBS pattern generator
The front-panel program (korvel), the command-line tool (korvelctl) and the
bench-instrument GPIB tool (korvel-gpib) of the KORVEL USB PRBS pattern
generator.")

set(CPACK_DEBIAN_LIBKORVEL1_PACKAGE_NAME libkorvel1)
set(CPACK_DEBIAN_LIBKORVEL1_PACKAGE_SECTION libs)
# udev applies the rule; without it only root can open the unit.
set(CPACK_DEBIAN_LIBKORVEL1_PACKAGE_RECOMMENDS udev)
set(CPACK_DEBIAN_LIBKORVEL1_PACKAGE_CONTROL_EXTRA ${deb}/shlibs ${deb}/symbols ${deb}/triggers)
set(CPACK_DEBIAN_LIBKORVEL1_DESCRIPTION
  "control library of the KORVEL USB PRBS pattern generator
libkorvel drives a KORVEL USB PRBS pattern generator from other programs:
pattern, sync divide ratio, clock output and output levels. The package
holds the shared library and the udev rule that lets the logged-in user
open the unit.")

set(CPACK_DEBIAN_LIBKORVEL-DEV_PACKAGE_NAME libkorvel-dev)
set(CPACK_DEBIAN_LIBKORVEL-DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_LIBKORVEL-DEV_PACKAGE_DEPENDS "libkorvel1 (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_LIBKORVEL-DEV_DESCRIPTION
  "development files of libkorvel, the KORVEL control library
The C header, the CMake package (find_package(korvel)), the pkg-config
file and the manual page of libkorvel, the control library of the KORVEL
USB PRBS pattern generator.")

set(CPACK_DEBIAN_PYTHON3-KORVEL_PACKAGE_NAME python3-korvel)
set(CPACK_DEBIAN_PYTHON3-KORVEL_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON3-KORVEL_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON3-KORVEL_PACKAGE_DEPENDS "python3:any, libkorvel1 (>= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_PYTHON3-KORVEL_DESCRIPTION
  "Python binding of libkorvel, the KORVEL control library
The Python package korvel drives a KORVEL USB PRBS pattern generator
through libkorvel: pattern, sync divide ratio, clock output, output levels,
custom pattern and error mask, and the unit's settings read back.")

# cpack adds a postinst and postrm calling ldconfig to a package with a shared library; Debian
# uses the ldconfig trigger (packaging/debian/triggers) instead, so they are taken out again.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/korvel_deb_without_ldconfig_scripts.cmake)

set(CPACK_COMPONENTS_ALL korvel_gui korvelctl korvel_gpib libkorvel korvel python)
include(CPack)
cpack_add_component_group(korvel)
cpack_add_component_group(libkorvel1)
cpack_add_component_group(libkorvel-dev)
cpack_add_component_group(python3-korvel)
foreach(entry korvel_gui:korvel korvelctl:korvel korvel_gpib:korvel libkorvel:libkorvel1
              korvel:libkorvel-dev python:python3-korvel)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 component)
  list(GET entry 1 group)
  cpack_add_component(${component} GROUP ${group})
endforeach()
