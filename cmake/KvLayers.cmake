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

# kv_test_suite(NAME DIR LIBS...): one GoogleTest executable per folder of tests.
function(kv_test_suite name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main)
  if(TARGET kv_testsupport)
    target_link_libraries(${name} PRIVATE kv_testsupport)
  endif()
  # Tests find their data through these paths, compiled in.
  target_compile_definitions(${name} PRIVATE
    KV_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KV_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # Each suite's tests carry its name as a label: ctest -L kvmaint_tests.
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${name}
    DISCOVERY_TIMEOUT 60)
endfunction()
