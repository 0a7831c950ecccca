# GoogleTest from the distribution's sources, so the same version is built for
# the native, sanitizer and Windows builds.
set(TOLVEN_GTEST_DIR /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${TOLVEN_GTEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's own sources are not ours to keep warning-free.
foreach(t gtest gtest_main)
  target_compile_options(${t} PRIVATE -w)
endforeach()
include(GoogleTest)

# Every test draws text with the same faces whatever fonts a machine has:
# fontconfig (FreeType text natively, Wine's font list under Wine) sees only
# the family the set-up installs.
set(TOLVEN_TEST_ENVIRONMENT "FONTCONFIG_FILE=${PROJECT_SOURCE_DIR}/tests/support/fonts.conf")

# Test programs to build, by name; empty builds them all. The ThreadSanitizer
# and fuzzing presets name only theirs, so they build a fraction of the tree.
set(TOLVEN_TEST_ONLY "" CACHE STRING "Test programs to build (empty: all)")

# tolven_add_gtest(NAME SOURCES... [LIBS ...] [PROPERTIES ...]): one test
# executable; one that TOLVEN_TEST_ONLY leaves out is neither built by default
# nor run. PROPERTIES go to every test of it (e.g. a RESOURCE_LOCK).
# Natively every test case is its own CTest test; under Wine each executable is
# one CTest test, since starting a Windows process costs far more than a case.
function(tolven_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  if(TOLVEN_TEST_ONLY AND NOT name IN_LIST TOLVEN_TEST_ONLY)
    add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main tolven_options)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main tolven_options)
  if(CMAKE_CROSSCOMPILING)
    # Run beside the executable: the modules under test are found relative to it.
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 ENVIRONMENT "${TOLVEN_TEST_ENVIRONMENT}"
                                            ${ARG_PROPERTIES})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "${TOLVEN_TEST_ENVIRONMENT}" ${ARG_PROPERTIES})
  endif()
endfunction()
