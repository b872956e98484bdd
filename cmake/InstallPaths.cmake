# Where an installed program finds its settings and its program folder. Only the two files
# that search for them are told, so that a change of prefix rebuilds nothing else.
include(GNUInstallDirs)

set(VANTREL_INSTALLED_PROGRAM_FOLDER ${CMAKE_INSTALL_FULL_DATADIR}/vantrel)
set_source_files_properties(
  ${PROJECT_SOURCE_DIR}/src/app/SettingsStore.cpp ${PROJECT_SOURCE_DIR}/src/app/ActivityLog.cpp
  TARGET_DIRECTORY vantrel_wizard
  PROPERTIES COMPILE_DEFINITIONS
    "VANTREL_INSTALLED_SETTINGS_FOLDER=\"${CMAKE_INSTALL_FULL_SYSCONFDIR}\";VANTREL_INSTALLED_PROGRAM_FOLDER=\"${VANTREL_INSTALLED_PROGRAM_FOLDER}\"")

# The programs print this with --version.
foreach(program vantrel vantrel-cli)
  if(TARGET ${program})
    target_compile_definitions(${program} PRIVATE VANTREL_VERSION="${PROJECT_VERSION}")
  endif()
endforeach()
