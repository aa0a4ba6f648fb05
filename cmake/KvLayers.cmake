# kv_layer(NAME DIR [DEPS...]): a static library made of every .cpp in DIR.
# Sources are globbed so that adding a file to a layer touches no build file.
function(kv_layer name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT sources)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# kv_test_suite(NAME DIR LIBS... [PROPERTIES ...]): one GoogleTest executable per
# folder of tests; PROPERTIES are added to each of its tests (a fixture they need).
function(kv_test_suite name dir)
  cmake_parse_arguments(PARSE_ARGV 2 suite "" "" "PROPERTIES")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${suite_UNPARSED_ARGUMENTS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(TARGET kv_testsupport)
    target_link_libraries(${name} PRIVATE kv_testsupport)
  endif()
  # Tests find their data through these paths, compiled in.
  target_compile_definitions(${name} PRIVATE
    KV_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KV_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # The suite's name is its label: `ctest -L '^link_tests$'` runs one layer.
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${name} ${suite_PROPERTIES}
    DISCOVERY_TIMEOUT 60)
endfunction()
