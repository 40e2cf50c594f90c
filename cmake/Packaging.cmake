# The Debian package of the updater, built with CPack (scripts/package). It holds the program,
# the stand-in registrar it starts as "regsvr32" (in a private folder, since Wine's regsvr32 owns
# /usr/bin/regsvr32), a desktop entry and the documentation; the other stand-ins of tools/ are for tests and the demo and stay out.
# Everything the package holds is installed in the component "package"; only that component is
# packaged.

set(PELORIX_DOC_DIR share/doc/pelorix-updater)
install(TARGETS PelorixUpdater RUNTIME DESTINATION bin COMPONENT package)
# The updater looks for it in ../lib/pelorix-updater beside its own folder.
install(TARGETS regsvr32 RUNTIME DESTINATION lib/pelorix-updater COMPONENT package)
install(FILES packaging/pelorix-updater.desktop DESTINATION share/applications
  COMPONENT package)
install(FILES README.md docs/unattended.md docs/releases.md DESTINATION ${PELORIX_DOC_DIR}
  COMPONENT package)
# The folder for the administrator's trusted release key; the package ships no key of its own.
install(DIRECTORY DESTINATION /etc/pelorix-updater COMPONENT package)
install(FILES docs/ansible/pelorix-update.yml DESTINATION ${PELORIX_DOC_DIR}/examples
  COMPONENT package)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelorix-updater)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "updater of an installed Pelorix system")
set(CPACK_PACKAGE_DESCRIPTION
  "PelorixUpdater stops the Pelorix services through their supervising service, migrates the \
Pelorix database, downloads the release files from the update server, replaces the installed \
files and re-registers the libraries. It runs as a window or unattended (--unattended).")
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

if(PELORIX_BUILD_TESTS)
  # Builds the package and checks its file list and dependencies (ctest -L package; excluded
  # with ctest -LE package).
  add_test(NAME package_contents
    COMMAND bash "${PROJECT_SOURCE_DIR}/packaging/check_package.sh" "${PROJECT_BINARY_DIR}")
  set_tests_properties(package_contents PROPERTIES LABELS package TIMEOUT 300)
endif()
