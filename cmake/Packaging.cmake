# Debian packages by CPack, one a component: vantrel-cli (the console, no Qt) and vantrel
# (the window). scripts/package.sh configures for /usr and runs cpack.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vantrel")
set(CPACK_PACKAGE_CONTACT "Vantrel developers <vantrel@example.org>" CACHE STRING "Maintainer of the packages")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_COMPONENTS_ALL cli window)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries both programs link (libewf, libqcow, libvmdk, libvhdi for disk images in
# containers, ...) become dependencies through dpkg-shlibdeps; check-packages.sh checks.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vantrel.example.org/")

set(CPACK_DEBIAN_CLI_PACKAGE_NAME vantrel-cli)
set(CPACK_COMPONENT_CLI_DESCRIPTION
    "read-only recovery of files from ReiserFS disks (console)
Finds the ReiserFS 3.5 and 3.6 partitions on a disk or disk image, rebuilds
their folders and files, also those the live tree no longer reaches, and
copies them out whole. Where no file system is left it carves Word, Excel,
PowerPoint and ZIP files out by their signatures. It never writes to the
disk it reads.
.
This package holds the console program vantrel-cli.")

set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME vantrel)
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS "udisks2")
set(CPACK_DEBIAN_WINDOW_PACKAGE_SUGGESTS "vantrel-cli")
set(CPACK_COMPONENT_WINDOW_DESCRIPTION
    "read-only recovery of files from ReiserFS disks (desktop window)
Finds the ReiserFS 3.5 and 3.6 partitions on a disk or disk image, rebuilds
their folders and files, also those the live tree no longer reaches, and
copies them out whole. Where no file system is left it carves Word, Excel,
PowerPoint and ZIP files out by their signatures. It never writes to the
disk it reads.
.
This package holds the wizard window vantrel.")
# The settings in /etc are the administrator's to change.
set(CPACK_DEBIAN_WINDOW_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/conffiles)

# Every package carries its copyright and changelog where Debian looks for them.
set(DEBIAN_DOC_OUTPUT ${CMAKE_BINARY_DIR}/debian-doc)
add_custom_command(
  OUTPUT ${DEBIAN_DOC_OUTPUT}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEBIAN_DOC_OUTPUT}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/debian/changelog > ${DEBIAN_DOC_OUTPUT}/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
add_custom_target(vantrel-debian-changelog ALL DEPENDS ${DEBIAN_DOC_OUTPUT}/changelog.gz)
foreach(component cli window)
  set(package vantrel-cli)
  if(component STREQUAL "window")
    set(package vantrel)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${DEBIAN_DOC_OUTPUT}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

include(CPack)
