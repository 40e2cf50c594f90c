# Each subsystem is one library built from the sources of its folders (not of their subfolders),
# so that adding a file needs no edit here.
function(pelorix_library name)
  set(sources)
  set(headers)
  foreach(dir IN LISTS ARGN)
    file(GLOB dir_sources CONFIGURE_DEPENDS "${dir}/*.cpp")
    file(GLOB dir_headers CONFIGURE_DEPENDS "${dir}/*.h")
    list(APPEND sources ${dir_sources})
    list(APPEND headers ${dir_headers})
  endforeach()
  if(NOT sources)
    # A subsystem whose first sources are still to come links as an empty library.
    set(placeholder "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    file(WRITE "${placeholder}" "")
    set(sources "${placeholder}")
  endif()
  add_library(${name} STATIC ${sources} ${headers})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# A test executable per folder of tests/ and the folders below it, linked with the libraries it
# checks. A subfolder named after an operating system's half of the platform layer is built only
# for that system.
function(pelorix_test name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  set(other_os "/windows/")
  if(WIN32)
    set(other_os "/posix/")
  endif()
  list(FILTER sources EXCLUDE REGEX "${other_os}")
  # A folder's harness built as a library of its own (pelorix_<dir>_harness) serves more than
  # one suite: the suite then compiles only its cases. wine/ holds the cases of the Windows
  # program under Wine, a suite of its own.
  list(FILTER sources EXCLUDE REGEX "/${dir}/wine/")
  set(libraries ${ARGN})
  if(TARGET pelorix_${dir}_harness)
    list(FILTER sources INCLUDE REGEX "_test\\.cpp$")
    list(APPEND libraries pelorix_${dir}_harness)
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE pelorix_test_support ${libraries})
  # Test code is compiled, not measured: unoptimised it builds in much less time. The heavy
  # headers every test includes are compiled once per suite.
  target_compile_options(${name} PRIVATE -O0)
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <gmock/gmock.h> <QByteArray> <QDir>
    <QFile> <QString> <QStringList>)
  set(environment "QT_QPA_PLATFORM=offscreen;PELORIX_TOOLS_DIR=${PROJECT_BINARY_DIR}/tools")
  if(PELORIX_TESTS STREQUAL "unit")
    # Under the sanitizers each suite runs as one process: a process per case would start Qt
    # hundreds of times, and an ODBC driver unloaded before the leak check hides which library
    # kept its memory (scripts/lsan.supp names the drivers).
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ENVIRONMENT "${environment}"
      DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
