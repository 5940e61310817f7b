# Helpers shared by the project's CMake files.

# arena_export_headers(TARGET PATH...): TARGET's users, and TARGET itself, see the given folders or
# headers under their root-relative names ("engine/core/wad.h") and nothing else of the tree.
# Each target gets its own include folder in the build tree holding links to exactly those paths,
# so the include directories follow the link graph: a folder's headers are reachable only through
# a target that exports them, and only by the targets that link it.
function(arena_export_headers target)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  # Start from an empty folder: a link to a whole folder left by an earlier configure would
  # otherwise put the new per-header links into the source tree, over the headers themselves.
  file(REMOVE_RECURSE ${root})
  foreach(path IN LISTS ARGN)
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${path})
      message(FATAL_ERROR "arena_export_headers(${target}): no ${path}")
    endif()
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  elseif(type STREQUAL "EXECUTABLE" OR type STREQUAL "MODULE_LIBRARY")
    target_include_directories(${target} PRIVATE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# Every shared library and module resolves every symbol it uses at link time, so that a missing
# definition fails the build rather than the first load. Clang's sanitizer and fuzzer runtimes
# live in the executable only, so modules built with them leave those symbols to the program
# that loads them; the normal build still checks every module.
if(NOT (CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND (ARENA_SANITIZE OR ARENA_BUILD_FUZZ)))
  add_link_options("$<$<IN_LIST:$<TARGET_PROPERTY:TYPE>,SHARED_LIBRARY;MODULE_LIBRARY>:LINKER:--no-undefined>")
endif()

# arena_add_engine_subsystem(NAME SOURCES... USES...): engine/NAME as the static library
# engine_NAME, exporting its folder and linking only the targets it may use (see the layers in
# CONTRIBUTING.md).
function(arena_add_engine_subsystem name)
  cmake_parse_arguments(ARG "" "" "SOURCES;USES" ${ARGN})
  add_library(engine_${name} STATIC ${ARG_SOURCES})
  arena_export_headers(engine_${name} engine/${name})
  target_link_libraries(engine_${name} PUBLIC ${ARG_USES})
endfunction()

# arena_add_test(NAME SOURCES... LIBS ...): one GoogleTest executable per source area.
function(arena_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  arena_export_headers(${name} tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  # Test code is not what is measured or shipped: build it unoptimised, with the test framework
  # precompiled, so that the suites build quickly.
  target_compile_options(${name} PRIVATE -O0)
  target_precompile_headers(${name} REUSE_FROM arena_test_pch)
  if(ARENA_TEST_PER_CASE)
    gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} DISCOVERY_TIMEOUT 60)
  else()
    # Starting a process costs more than most cases: each program runs whole, once.
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
endfunction()

# arena_add_fuzzer(NAME SOURCES... LIBS ...): a libFuzzer target.
function(arena_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  arena_export_headers(${name} fuzz)
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
