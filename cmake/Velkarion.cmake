# One static library per subsystem folder, made of every .cpp in it (subfolders too,
# so a subsystem can group its files). Headers are included from the project root:
#   #include "platform/window.h"
function(velkarion_add_layer layer)
  file(GLOB_RECURSE _sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${layer}/*.cpp)
  if(NOT _sources)
    return()
  endif()
  add_library(vk_${layer} STATIC ${_sources})
  target_include_directories(vk_${layer} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_compile_definitions(vk_${layer} PUBLIC VELKARION_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endfunction()

# tests/<layer>/*.cpp make one test program per layer; every TEST is its own CTest case,
# found when the tests run so that building stays quick.
function(velkarion_add_layer_tests layer)
  file(GLOB_RECURSE _tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${layer}/*.cpp)
  if(NOT _tests)
    return()
  endif()
  file(GLOB _support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  add_executable(test_${layer} ${_tests} ${_support})
  target_include_directories(test_${layer} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(test_${layer} PRIVATE vk_all GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(test_${layer} PRIVATE
    VELKARION_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VELKARION_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  gtest_discover_tests(test_${layer} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "VELKARION_RESOURCES=${CMAKE_SOURCE_DIR}/resources")
endfunction()

