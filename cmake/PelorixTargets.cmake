# Each subsystem is one library built from the sources of its folder (not of subfolders),
# so that adding a file needs no edit here.
function(pelorix_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  file(GLOB headers CONFIGURE_DEPENDS "${dir}/*.h")
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

# A test executable per folder of tests/, linked with the libraries it checks.
function(pelorix_test name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE pelorix_test_support ${ARGN})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PELORIX_TOOLS_DIR=${PROJECT_BINARY_DIR}/tools"
    DISCOVERY_TIMEOUT 60)
endfunction()
