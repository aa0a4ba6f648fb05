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
# ctest runs each of its test suites as one test (KV_TEST_EACH_CASE=ON: each case).
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
  set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${name} ${suite_PROPERTIES})
  if(KV_TEST_EACH_CASE)
    gtest_discover_tests(${name} PROPERTIES ${properties} DISCOVERY_TIMEOUT 60)
    return()
  endif()
  # One ctest test per GoogleTest test suite (cmake/KvGtestSuites.cmake),
  # listed each time the program is built.
  set(suites_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_suites.cmake")
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake")
  string(REPLACE ";" "|" property_text "${properties}")
  add_custom_command(TARGET ${name} POST_BUILD BYPRODUCTS "${suites_file}"
    COMMAND "${CMAKE_COMMAND}" -D "TEST_EXECUTABLE=$<TARGET_FILE:${name}>" -D "CTEST_FILE=${suites_file}"
            -D "PROGRAM=${name}" -D "WORKING_DIR=${CMAKE_CURRENT_BINARY_DIR}"
            -D "TEST_PROPERTIES=${property_text}" -P "${CMAKE_SOURCE_DIR}/cmake/KvGtestSuites.cmake"
    VERBATIM)
  file(WRITE "${include_file}"
       "if(EXISTS \"${suites_file}\")\n  include(\"${suites_file}\")\nelse()\n"
       "  add_test(${name}_NOT_BUILT ${name}_NOT_BUILT)\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()
