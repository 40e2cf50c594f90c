# The Debian package of the updater, built with CPack (scripts/package). It holds the program,
# the stand-in registrar it starts as "regsvr32" (in a private folder, since Wine's regsvr32 owns
# /usr/bin/regsvr32), a desktop entry, the manual page and the documentation; the other stand-ins
# of tools/ are for tests and the demo and stay out.
# Everything the package holds is installed in the component "package"; only that component is
# packaged.

# The package's build (scripts/package) sets PELORIX_LOG_FOLDER: the program then writes its
# debug log there instead of beside itself in /usr/bin, and the package creates the folder.
set(PELORIX_LOG_FOLDER "" CACHE STRING "Folder of the debug log (empty: beside the program)")
if(PELORIX_LOG_FOLDER)
  set_property(SOURCE src/app/program/packaged_log_folder.cpp TARGET_DIRECTORY pelorix_program APPEND
    PROPERTY COMPILE_DEFINITIONS "PELORIX_LOG_FOLDER=\"${PELORIX_LOG_FOLDER}\"")
  set(PELORIX_MAINTAINER_SCRIPTS)
  foreach(script postinst postrm)
    configure_file(packaging/${script}.in "${PROJECT_BINARY_DIR}/packaging/${script}" @ONLY
      FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
      WORLD_READ WORLD_EXECUTE)
    list(APPEND PELORIX_MAINTAINER_SCRIPTS "${PROJECT_BINARY_DIR}/packaging/${script}")
  endforeach()
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PELORIX_MAINTAINER_SCRIPTS}")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

# The manual page is the program's own --help, so that the two cannot disagree; the changelog is
# compressed under the name Debian gives the changelog of a native package.
find_program(PELORIX_HELP2MAN help2man REQUIRED)
set(PELORIX_MAN_PAGE "${PROJECT_BINARY_DIR}/packaging/PelorixUpdater.1.gz")
set(PELORIX_CHANGELOG "${PROJECT_BINARY_DIR}/packaging/changelog.gz")
add_custom_command(OUTPUT "${PELORIX_MAN_PAGE}"
  COMMAND "${PELORIX_HELP2MAN}" --no-info --section=1
    "--name=bring an installed Pelorix system up to the current release"
    --output=packaging/PelorixUpdater.1 $<TARGET_FILE:PelorixUpdater>
  COMMAND gzip -9nf packaging/PelorixUpdater.1
  DEPENDS PelorixUpdater
  WORKING_DIRECTORY "${PROJECT_BINARY_DIR}"
  COMMENT "Writing the manual page from PelorixUpdater --help")
add_custom_command(OUTPUT "${PELORIX_CHANGELOG}"
  COMMAND gzip -9nc "${PROJECT_SOURCE_DIR}/packaging/changelog" > "${PELORIX_CHANGELOG}"
  DEPENDS packaging/changelog
  COMMENT "Compressing the package's changelog")
add_custom_target(package_documents ALL DEPENDS "${PELORIX_MAN_PAGE}" "${PELORIX_CHANGELOG}")

set(PELORIX_DOC_DIR share/doc/pelorix-updater)
install(TARGETS PelorixUpdater RUNTIME DESTINATION bin COMPONENT package)
# The updater looks for it in ../lib/pelorix-updater beside its own folder.
install(TARGETS regsvr32 RUNTIME DESTINATION lib/pelorix-updater COMPONENT package)
install(FILES packaging/pelorix-updater.desktop DESTINATION share/applications
  COMPONENT package)
# Every document the shipped ones link to is shipped too.
install(FILES README.md docs/unattended.md docs/releases.md docs/report.md docs/report.schema.json
  docs/control-document-and-database.md docs/windows-build.md docs/windows-window.png docs/windows.md packaging/copyright "${PELORIX_CHANGELOG}"
  DESTINATION ${PELORIX_DOC_DIR} COMPONENT package)
install(FILES "${PELORIX_MAN_PAGE}" DESTINATION share/man/man1 COMPONENT package)
# The folder for the administrator's trusted release key; the package ships no key of its own.
install(DIRECTORY DESTINATION /etc/pelorix-updater COMPONENT package)
install(FILES docs/ansible/pelorix-update.yml docs/ansible/pelorix-update-windows.yml DESTINATION ${PELORIX_DOC_DIR}/examples
  COMPONENT package)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelorix-updater)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "updater of an installed Pelorix system")
# Lines of at most 80 characters: dpkg shows them as they are.
set(CPACK_PACKAGE_DESCRIPTION "PelorixUpdater stops the Pelorix services through their supervising
service, migrates the Pelorix database, downloads the release files from the
update server, replaces the installed files and re-registers the libraries.
It runs as a window or unattended (--unattended).")
set(CPACK_PACKAGE_CONTACT "Pelorix maintainers <maintainers@pelorix.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL package)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; what is loaded at run time it
# cannot see: the Qt SQL drivers (plugins) and libcurl (opened on the first download).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4, libqt6sql6-sqlite, libqt6sql6-odbc")
# FreeTDS for SQL Server databases, xdg-open for the history link.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc, xdg-utils")

include(CPack)

if(PELORIX_BUILD_TESTS AND NOT PELORIX_TESTS STREQUAL "unit")
  # Builds the package and checks its file list and dependencies (ctest -L package; excluded
  # with ctest -LE package).
  add_test(NAME package_contents
    COMMAND bash "${PROJECT_SOURCE_DIR}/packaging/check_package.sh" "${PROJECT_BINARY_DIR}")
  set_tests_properties(package_contents PROPERTIES LABELS package TIMEOUT 300)
endif()
