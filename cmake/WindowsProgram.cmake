# The Windows program as it ships: the exe with its icon, version and manifest, in a folder of
# its own beside the Qt DLLs and plugins it loads and the MinGW runtime, so that the folder runs
# on a clean Windows as it stands.
set(PELORIX_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH
  "Qt's own translations (qtbase_*.qm) of the SDK's Qt release")

function(pelorix_windows_program target)
  set(PELORIX_RESOURCES "${PROJECT_SOURCE_DIR}/resources/windows")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
  configure_file("${PELORIX_RESOURCES}/PelorixUpdater.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  set_property(SOURCE "${rc}" APPEND PROPERTY OBJECT_DEPENDS
    "${PELORIX_RESOURCES}/PelorixUpdater.ico" "${PELORIX_RESOURCES}/PelorixUpdater.manifest")

  set(folder "${PROJECT_BINARY_DIR}/PelorixUpdater")
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${folder}")
  set(PELORIX_PROGRAM_FOLDER "${folder}" PARENT_SCOPE)

  set(sdk "${PELORIX_WINDOWS_SDK}")
  if(PELORIX_WINDOWS_ARCH STREQUAL "i686")
    set(gcc_runtime libgcc_s_dw2-1.dll)
  else()
    set(gcc_runtime libgcc_s_seh-1.dll)
  endif()
  set(dlls Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Sql.dll ${gcc_runtime} libstdc++-6.dll
    libwinpthread-1.dll)
  set(plugins platforms/qwindows.dll styles/qwindowsvistastyle.dll sqldrivers/qsqlite.dll
    sqldrivers/qsqlodbc.dll)
  set(commands)
  foreach(dll IN LISTS dlls)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different "${sdk}/bin/${dll}"
      "${folder}/${dll}")
  endforeach()
  # The MinGW runtime comes with its symbols, which triple the folder's size.
  foreach(dll IN ITEMS ${gcc_runtime} libstdc++-6.dll libwinpthread-1.dll)
    list(APPEND commands COMMAND "${CMAKE_STRIP}" --strip-unneeded "${folder}/${dll}")
  endforeach()
  foreach(plugin IN LISTS plugins)
    get_filename_component(plugin_folder "${plugin}" DIRECTORY)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}/${plugin_folder}"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "${sdk}/plugins/${plugin}"
      "${folder}/${plugin}")
  endforeach()
  # The SDK has no translations of Qt's own texts (the buttons of a message box); Debian's are of
  # the same Qt release. They join the SDK, where the tests' Qt finds them, and the folder, where
  # qt.conf points the program's Qt at them.
  file(GLOB qt_translations "${PELORIX_QT_TRANSLATIONS}/qtbase_*.qm")
  if(NOT qt_translations)
    message(FATAL_ERROR "No Qt translations in ${PELORIX_QT_TRANSLATIONS} (qt6-translations-l10n)")
  endif()
  file(COPY ${qt_translations} DESTINATION "${sdk}/translations")
  file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/qt.conf"
    "[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n")
  list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_directory "${sdk}/translations"
    "${folder}/translations" COMMAND ${CMAKE_COMMAND} -E copy_if_different
    "${CMAKE_CURRENT_BINARY_DIR}/qt.conf" "${folder}/qt.conf")
  add_custom_command(TARGET ${target} POST_BUILD ${commands} VERBATIM)
endfunction()
