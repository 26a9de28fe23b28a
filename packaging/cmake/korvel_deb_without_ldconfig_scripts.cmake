# Run by cpack after it built the Debian packages (CPACK_POST_BUILD_SCRIPTS): rebuilds each
# package that has a postinst or postrm calling ldconfig without them. libkorvel1 activates the
# ldconfig trigger instead, and no package has other maintainer scripts.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  set(changed OFF)
  foreach(script postinst postrm)
    if(EXISTS ${tree}/DEBIAN/${script})
      file(READ ${tree}/DEBIAN/${script} text)
      if(text MATCHES "ldconfig")
        file(REMOVE ${tree}/DEBIAN/${script})
        set(changed ON)
      endif()
    endif()
  endforeach()
  if(changed)
    execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${deb}
      OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
