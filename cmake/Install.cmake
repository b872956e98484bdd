# `cmake --install`: the two programs, the program folder, the default settings, the desktop
# entry, icons, AppStream metainfo, manual pages and bash completion. Two components: "cli"
# (the console, no Qt) and "window" (the desktop window and everything it reads).
set(PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS vantrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
install(FILES ${PACKAGING_DIR}/completion/vantrel-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT cli)

# Manual pages, compressed as Debian wants them.
set(MAN_OUTPUT ${CMAKE_BINARY_DIR}/man)
foreach(page vantrel vantrel-cli)
  add_custom_command(
    OUTPUT ${MAN_OUTPUT}/${page}.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${MAN_OUTPUT}
    COMMAND gzip -9nc ${PACKAGING_DIR}/man/${page}.1 > ${MAN_OUTPUT}/${page}.1.gz
    DEPENDS ${PACKAGING_DIR}/man/${page}.1)
endforeach()
add_custom_target(vantrel-manual-pages ALL DEPENDS ${MAN_OUTPUT}/vantrel.1.gz ${MAN_OUTPUT}/vantrel-cli.1.gz)
install(FILES ${MAN_OUTPUT}/vantrel-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)

if(TARGET vantrel)
  install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT window)
  # The folder's files, never an activity log a run from the build left there.
  install(DIRECTORY ${VANTREL_PROGRAM_FOLDER}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel COMPONENT window
          FILES_MATCHING PATTERN "*.bmp" PATTERN "*.dat" PATTERN "*.html")
  install(FILES ${MAN_OUTPUT}/vantrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT window)

  # The settings the window reads, naming the installed program folder.
  set(INSTALLED_SETTINGS ${CMAKE_BINARY_DIR}/installed/VantrelOrgReiserFS.conf)
  file(WRITE ${INSTALLED_SETTINGS}
       "[VantrelOrgReiserFS]\nFilePath=${VANTREL_INSTALLED_PROGRAM_FOLDER}\nLngFile=EnglishA.dat\n")
  # Where the settings search looks (InstallPaths.cmake): /etc for /usr, /etc/opt/... for
  # /opt/..., PREFIX/etc otherwise. Stage with DESTDIR, not with a new --prefix.
  install(FILES ${INSTALLED_SETTINGS} DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR} COMPONENT window)

  install(FILES ${PACKAGING_DIR}/vantrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT window)
  # The image kinds the desktop entry opens that the shared MIME database lacks.
  install(FILES ${PACKAGING_DIR}/vantrel-images.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          COMPONENT window)
  install(FILES ${PACKAGING_DIR}/org.vantrel.ReiserFS.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT window)
  install(FILES ${PACKAGING_DIR}/icons/vantrel.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT window)
  foreach(size 48 128 256)
    install(FILES ${PACKAGING_DIR}/icons/vantrel-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME vantrel.png COMPONENT window)
  endforeach()
endif()
