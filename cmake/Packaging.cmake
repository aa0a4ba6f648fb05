# Installation and the Debian package:
#   cmake --build build --target package   ->  build/kvmaintenance_<version>_amd64.deb
# Programs in /usr/bin, manual pages generated from their --help, the menu
# entry with its icon and AppStream data, bash completion for kvmaint, and the
# udev rule for the infrared adapter.
include(GNUInstallDirs)

set(KV_APP_ID com.korvin.KVMaintenance)
set(KV_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

if(TARGET KVMaintenance)
  target_compile_definitions(KVMaintenance PRIVATE KV_VERSION="${PROJECT_VERSION}")
endif()

set(KV_PROGRAMS "")
foreach(program KVMaintenance kvmaint kvsim)
  if(TARGET ${program})
    list(APPEND KV_PROGRAMS ${program})
  endif()
endforeach()
install(TARGETS ${KV_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages, written by help2man from each built program's --help, so the
# page and the program never disagree. The window's help needs no display.
set(KV_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(KV_MAN_NAME_KVMaintenance "KORVIN Maintenance Data Loader (main window)")
set(KV_MAN_NAME_kvmaint "KORVIN maintenance from the command line")
set(KV_MAN_NAME_kvsim "simulated KORVIN instrument on a pseudo-terminal")
find_program(KV_HELP2MAN help2man)
find_program(KV_GZIP gzip)
if(KV_HELP2MAN AND KV_GZIP)
  set(KV_MAN_PAGES "")
  foreach(program IN LISTS KV_PROGRAMS)
    set(page ${KV_MAN_DIR}/${program}.1)
    # Sections --help has not (synopsis, files, see also) come from an include file.
    set(include ${KV_PACKAGING_DIR}/man/${program}.h2m)
    set(include_depends ${include})
    if(program STREQUAL "kvmaint")  # plus the help of every command
      set(include ${KV_MAN_DIR}/kvmaint.h2m)
      set(include_depends ${include})
      add_custom_command(
        OUTPUT ${include}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_MAN_DIR}
        COMMAND bash ${KV_PACKAGING_DIR}/man/kvmaint-commands.sh $<TARGET_FILE:kvmaint>
                ${KV_PACKAGING_DIR}/man/kvmaint.h2m ${include}
        DEPENDS kvmaint ${KV_PACKAGING_DIR}/man/kvmaint.h2m ${KV_PACKAGING_DIR}/man/kvmaint-commands.sh
        VERBATIM)
    endif()
    set(version_option "")
    if(program STREQUAL "kvsim")  # kvsim has no --version
      set(version_option --version-string=${PROJECT_VERSION})
    endif()
    add_custom_command(
      OUTPUT ${page} ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_MAN_DIR}
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
              ${KV_HELP2MAN} --no-info --section=1 "--name=${KV_MAN_NAME_${program}}"
              --include=${include} ${version_option} --output=${page} $<TARGET_FILE:${program}>
      COMMAND ${KV_GZIP} -9 -n -k -f ${page}
      DEPENDS ${program} ${include_depends}
      COMMENT "Manual page for ${program}"
      VERBATIM)
    list(APPEND KV_MAN_PAGES ${page})
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  add_custom_target(manpages ALL DEPENDS ${KV_MAN_PAGES})
else()
  message(STATUS "help2man or gzip not found: no manual pages (bootstrap.sh installs help2man)")
endif()

if(TARGET KVMaintenance)
  install(FILES ${KV_PACKAGING_DIR}/${KV_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${KV_PACKAGING_DIR}/${KV_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${KV_PACKAGING_DIR}/${KV_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
if(TARGET kvmaint)
  install(FILES ${KV_PACKAGING_DIR}/bash-completion/kvmaint
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()
# /usr/lib/udev/rules.d: read by udev on Debian 12 (merged /usr).
install(FILES ${KV_PACKAGING_DIR}/udev/60-korvin-ir.rules DESTINATION lib/udev/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvmaintenance)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KORVIN")
set(CPACK_PACKAGE_CONTACT "KORVIN maintenance software <maintenance-software@korvin.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maintenance tool for KORVIN multi-gas detectors")
# Below the summary; CPack indents the lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "KVMaintenance reads, edits and writes the settings of a portable
seven-channel gas detector through its USB infrared adapter, keeps
maintenance data files and backups, and runs zero and span calibration.
kvmaint does the same work on the command line; kvsim simulates an
instrument on a pseudo-terminal (KVMaintenance --demo).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from the binaries (dpkg-shlibdeps, in dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt SQL loads its drivers as plugins, which dpkg-shlibdeps cannot see: the
# history's SQLite driver is needed, the PostgreSQL one only for a shared
# history on a server.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion, libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${KV_PACKAGING_DIR}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
