# One static library per folder, made of every .cpp in it (subfolders too, so a folder can
# group its files). Headers are included from the project root:
#   #include "platform/window.h"
# Each library names the libraries of the folders below it that it uses, so a folder links
# only downwards and the linker refuses a call upwards.
function(velkarion_add_layer layer)
  cmake_parse_arguments(ARG "" "" "DEPENDS;SOURCES" ${ARGN})
  if(ARG_SOURCES)
    set(_sources ${ARG_SOURCES})
  else()
    file(GLOB_RECURSE _sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${layer}/*.cpp)
  endif()
  add_library(vk_${layer} STATIC ${_sources})
  target_include_directories(vk_${layer} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  if(ARG_DEPENDS)
    target_link_libraries(vk_${layer} PUBLIC ${ARG_DEPENDS})
  endif()
endfunction()

# Test support: one small library per level, so a test program links what its folder does.
#   support_core      fixture readers, angle helpers          (no platform)
#   support_platform  headless fixture, golden screens        (platform)
function(velkarion_add_test_support)
  add_library(vk_support_core STATIC ${CMAKE_SOURCE_DIR}/tests/support/fixture_files.cpp)
  target_include_directories(vk_support_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(vk_support_core PUBLIC GTest::gtest)
  target_compile_options(vk_support_core PRIVATE ${VELKARION_TEST_FLAGS})
  target_compile_definitions(vk_support_core PUBLIC VELKARION_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  add_library(vk_support_platform STATIC
    ${CMAKE_SOURCE_DIR}/tests/support/headless_fixture.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/golden_screen.cpp)
  target_link_libraries(vk_support_platform PUBLIC vk_support_core vk_platform)
  target_compile_options(vk_support_platform PRIVATE ${VELKARION_TEST_FLAGS})
  target_compile_definitions(vk_support_platform PRIVATE
    VELKARION_FREETYPE_VERSION="${FREETYPE_VERSION_STRING}")
endfunction()

# tests/<folder>/*.cpp make one test program per folder (all of them are the target
# velkarion_tests, which the sanitizer run builds), linked with that folder's library
# and the support it needs; every TEST is its own CTest case, found when the tests run so
# that building stays quick.
function(velkarion_add_layer_tests layer)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE _tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${layer}/*.cpp)
  if(NOT _tests)
    return()
  endif()
  add_executable(test_${layer} ${_tests})
  add_dependencies(velkarion_tests test_${layer})
  target_include_directories(test_${layer} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(test_${layer} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_options(test_${layer} PRIVATE ${VELKARION_TEST_FLAGS})
  target_compile_definitions(test_${layer} PRIVATE
    VELKARION_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VELKARION_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  gtest_discover_tests(test_${layer} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "VELKARION_RESOURCES=${CMAKE_SOURCE_DIR}/resources")
endfunction()
