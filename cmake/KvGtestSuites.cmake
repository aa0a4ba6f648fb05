# Run after a test program is built (cmake -P): lists its tests and writes
# CTEST_FILE with one ctest test per GoogleTest test suite, named
# "PROGRAM.Suite" and running --gtest_filter=Suite.*. A test of its own for
# each case would start the program (and Qt) once per case: most of the run's
# time for the in-process suites.
#   -D TEST_EXECUTABLE=... -D CTEST_FILE=... -D PROGRAM=... -D WORKING_DIR=...
#   -D TEST_PROPERTIES=key|value|key|value (the tests' properties, "|" for ";")
execute_process(COMMAND "${TEST_EXECUTABLE}" --gtest_list_tests
                OUTPUT_VARIABLE listing RESULT_VARIABLE result TIMEOUT 60)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TEST_EXECUTABLE} --gtest_list_tests failed (${result}):\n${listing}")
endif()
string(REPLACE "|" ";" properties "${TEST_PROPERTIES}")
set(property_text "")
foreach(item IN LISTS properties)
  string(APPEND property_text " [==[${item}]==]")
endforeach()
string(REPLACE "\n" ";" lines "${listing}")
set(content "")
foreach(line IN LISTS lines)
  # A suite's line: "Suite." or "Prefix/Suite.  # TypeParam = ..."; its cases are indented.
  if(line MATCHES "^([^ ]+)\\.( .*)?$")
    set(name "${PROGRAM}.${CMAKE_MATCH_1}")
    string(APPEND content
           "add_test([==[${name}]==] [==[${TEST_EXECUTABLE}]==] [==[--gtest_filter=${CMAKE_MATCH_1}.*]==])\n"
           "set_tests_properties([==[${name}]==] PROPERTIES WORKING_DIRECTORY [==[${WORKING_DIR}]==]${property_text})\n")
  endif()
endforeach()
file(WRITE "${CTEST_FILE}" "${content}")
