# The outside libraries, as targets that mean the same on Linux and in the Windows SDK.
#   Pelorix::Sodium   libsodium (release signatures)
#   Pelorix::HttpLib  cpp-httplib (the tests' servers and the demo update server)
# libcurl serves the Linux downloads only: Windows downloads through WinHTTP.
find_package(Qt6 REQUIRED COMPONENTS Core Sql Widgets Test)
find_package(pugixml REQUIRED)
find_package(ODBC REQUIRED)

if(WIN32)
  # The SDK links libsodium statically.
  find_library(PELORIX_SODIUM_LIBRARY NAMES sodium REQUIRED)
  add_library(Pelorix::Sodium INTERFACE IMPORTED)
  target_link_libraries(Pelorix::Sodium INTERFACE "${PELORIX_SODIUM_LIBRARY}")
  target_compile_definitions(Pelorix::Sodium INTERFACE SODIUM_STATIC)

  # Debian builds cpp-httplib as a Linux library; for Windows its upstream single header, which
  # scripts/install-deps takes from Debian's source package.
  set(PELORIX_HTTPLIB_DIR "/var/cache/pelorix-build/cpp-httplib" CACHE PATH
    "Folder with cpp-httplib's single-header httplib.h")
  add_library(Pelorix::HttpLib INTERFACE IMPORTED)
  if(EXISTS "${PELORIX_HTTPLIB_DIR}/httplib.h")
    target_include_directories(Pelorix::HttpLib SYSTEM INTERFACE "${PELORIX_HTTPLIB_DIR}")
    target_link_libraries(Pelorix::HttpLib INTERFACE ws2_32)
  endif()
else()
  find_package(CURL REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
  add_library(Pelorix::Sodium ALIAS PkgConfig::SODIUM)
  add_library(Pelorix::HttpLib ALIAS PkgConfig::HTTPLIB)
endif()
