# GoogleTest: Debian's build natively; compiled from /usr/src/googletest for the Windows
# builds, whose tests run under Wine.
if(WIN32)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

# varnelt_test(NAME SOURCES a.cpp b.cpp LIBS lib...) adds one test program.
function(varnelt_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  varnelt_strict(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(WIN32)
    # Console programs: their output is read by scripts/test under Wine.
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  set_property(GLOBAL APPEND PROPERTY VARNELT_TESTS ${name})
endfunction()
