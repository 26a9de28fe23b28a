# Where libkorvel's files go under the install prefix. On a multiarch system (Debian and its
# derivatives) the library folder is lib/<triplet> under any prefix: the dynamic linker,
# pkg-config and CMake search it under /usr and /usr/local alike, and the Debian packages do not
# depend on the prefix the build folder was configured with. An explicit CMAKE_INSTALL_LIBDIR
# other than the default "lib" is kept.
include(GNUInstallDirs)
if(CMAKE_LIBRARY_ARCHITECTURE AND CMAKE_INSTALL_LIBDIR STREQUAL "lib")
  set(KORVEL_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE})
else()
  set(KORVEL_INSTALL_LIBDIR ${CMAKE_INSTALL_LIBDIR})
endif()
# The Python package, where Debian's python3 finds it (/usr/lib/python3/dist-packages, and
# /usr/local/lib/python3/dist-packages for a plain install).
set(KORVEL_INSTALL_PYTHONDIR lib/python3/dist-packages)
