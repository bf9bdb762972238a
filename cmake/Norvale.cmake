# Helpers shared by every folder's CMakeLists.txt.
#
# norvale_library(<target> <folder> [DEPS ...] [PRIVATE_DEPS ...] [EXCLUDE file.cpp ...])
#   One static library from every .cpp below <folder> (relative to the top),
#   but those named after EXCLUDE (built into another target).
#   Headers are included by their path from src/ or tools/.
#
# norvale_test(<target> <folder> [DEPS ...])
#   One GoogleTest executable from every .cpp in tests/<folder>. Each of its
#   tests is a ctest entry of its own, named <target>.<Suite>.<Test>, so that a
#   failure names the test and tests run side by side. They are listed when
#   ctest runs, not at build time. Tests run offscreen, with their data folder
#   and an artifacts folder for what they render.

set(NORVALE_PCH <string> <vector> <memory> <functional> <map> <optional> <algorithm>)

function(norvale_library target folder)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  list(TRANSFORM ARG_EXCLUDE PREPEND ${PROJECT_SOURCE_DIR}/${folder}/)
  list(REMOVE_ITEM sources ${ARG_EXCLUDE})
  if(NOT sources)
    # A folder that has no code yet still takes part in the dependency graph.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tools)
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tools)
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  target_precompile_headers(${target} PRIVATE ${NORVALE_PCH})
endfunction()

include(GoogleTest)

set(NORVALE_ARTIFACTS_DIR ${PROJECT_BINARY_DIR}/test-artifacts)

function(norvale_test target folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} norvale_test_support GTest::gtest GTest::gmock)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_precompile_headers(${target} PRIVATE ${NORVALE_PCH} <gtest/gtest.h>)
  gtest_discover_tests(${target} TEST_PREFIX ${target}. NO_PRETTY_VALUES DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 600)
  # Discovery would split a list-valued property into properties: the environment is set on the tests
  # it listed, by a file ctest reads after the list.
  set(environment "QT_QPA_PLATFORM=offscreen;NORVALE_TILE_URL=off;NORVALE_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;NORVALE_ARTIFACTS=${NORVALE_ARTIFACTS_DIR};NORVALE_RESOURCES=${PROJECT_SOURCE_DIR}/resources")
  set(environment_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_environment.cmake)
  file(WRITE ${environment_file} "if(${target}_TESTS)\n"
       "  set_tests_properties(\${${target}_TESTS} PROPERTIES ENVIRONMENT \"${environment}\")\n"
       "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${environment_file})
endfunction()
