# Helpers shared by the project's CMake files.

# arena_add_test(NAME SOURCES... LIBS ...): one GoogleTest executable per source area.
function(arena_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  # Test code is not what is measured or shipped: build it unoptimised, with the test framework
  # precompiled, so that the suites build quickly.
  target_compile_options(${name} PRIVATE -O0)
  target_precompile_headers(${name} REUSE_FROM arena_test_pch)
  if(ARENA_SANITIZE)
    # A sanitized process is slow to start: run each program whole rather than once per case.
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  else()
    gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# arena_add_fuzzer(NAME SOURCES... LIBS ...): a libFuzzer target.
function(arena_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  add_dependencies(fuzzers ${name})
endfunction()

find_package(Threads REQUIRED)

# The precompiled test framework that every test program shares (see arena_add_test).
function(arena_add_test_pch)
  # A program like the tests themselves, so that the header is built with their settings.
  add_executable(arena_test_pch EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/cmake/test_pch.cpp)
  target_link_libraries(arena_test_pch PRIVATE GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_options(arena_test_pch PRIVATE -O0)
  target_precompile_headers(arena_test_pch PRIVATE <gtest/gtest.h>)
endfunction()
