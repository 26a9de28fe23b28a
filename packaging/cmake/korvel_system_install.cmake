# What makes the program part of the system: the udev rule where udev reads packaged rules
# (lib/udev/rules.d under the prefix: /usr/lib/udev/rules.d from the Debian package,
# /usr/local/lib/udev/rules.d from a plain install), and the desktop entry and icon that put the
# program in the desktop's menu. The rule goes with the library (every program that drives the
# unit needs it), the entry and icon with the GUI program.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/udev/60-korvel.rules
  DESTINATION lib/udev/rules.d COMPONENT korvel)
if(TARGET korvel)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/desktop/korvel.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT korvel_gui)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/korvel.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT korvel_gui)
endif()
