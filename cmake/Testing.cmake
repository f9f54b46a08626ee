# GoogleTest: the system package natively, the system's GoogleTest sources compiled by the
# cross compiler for the win32 tree. Each TEST becomes one ctest test; the win32 ones run
# through the cross-compiling emulator (Wine).
enable_testing()

if(TAVELO_TESTS)
  include(GoogleTest)
  if(WIN32)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(TAVELO_GTEST_LIBS gtest gmock gtest_main)
  else()
    find_package(GTest REQUIRED)
    set(TAVELO_GTEST_LIBS GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
endif()

# tavelo_add_tests(NAME SOURCES ... LIBS ... [LOCK name]); nothing when the tests are not built.
# Tests given the same LOCK never run at the same time (ctest's resource lock).
function(tavelo_add_tests name)
  if(NOT TAVELO_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "LOCK" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${TAVELO_GTEST_LIBS})
  gtest_add_tests(TARGET ${name} SOURCES ${T_SOURCES} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                  TEST_LIST tests)
  if(T_LOCK)
    set_tests_properties(${tests} PROPERTIES RESOURCE_LOCK ${T_LOCK})
  endif()
endfunction()
