# GoogleTest for both builds. Linux uses Debian's packaged library; the Windows build
# compiles Debian's source tree with the cross compiler.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(QUILLREAP_GTEST GTest::gtest GTest::gmock)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gmock ALIAS gmock)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
  # Wine sees the Linux file system as drive Z:.
  set(QUILLREAP_FIXTURES_DIR Z:${PROJECT_SOURCE_DIR}/tests/fixtures)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(QUILLREAP_GTEST GTest::gtest GTest::gmock)
endif()

if(NOT WIN32)
  set(QUILLREAP_FIXTURES_DIR ${PROJECT_SOURCE_DIR}/tests/fixtures)
endif()

# Every test program's main: exits with QUILLREAP_SKIPPED_EXIT_CODE when cases were skipped
# and none failed. CTest's SKIP_RETURN_CODE then marks the program skipped. A match on
# gtest's "[  SKIPPED ]" line would not do for a program registered as one test: CTest lets
# a skip pattern win over the exit code, so a program with one skipped and one failed case
# would be reported as skipped, not failed.
set(QUILLREAP_SKIPPED_EXIT_CODE 77)
add_library(quillreap_test_main STATIC ${PROJECT_SOURCE_DIR}/tests/test_main.cpp)
target_link_libraries(quillreap_test_main PUBLIC ${QUILLREAP_GTEST})
# The code is a definition of the one source, not of the library: the precompiled header
# below is taken only where no macro of its making is missing.
set_source_files_properties(
  ${PROJECT_SOURCE_DIR}/tests/test_main.cpp
  PROPERTIES COMPILE_DEFINITIONS QUILLREAP_SKIPPED_EXIT_CODE=${QUILLREAP_SKIPPED_EXIT_CODE})
# GoogleTest's headers are parsed once, here, and every test program reuses the result:
# they are most of a test source's compile time, and the test sources are most of a build.
# The options are the test programs' own, so the compiler takes the precompiled header.
target_compile_options(quillreap_test_main PRIVATE -fexec-charset=GB18030)
target_precompile_headers(quillreap_test_main PRIVATE <gtest/gtest.h> <gmock/gmock.h>)

# quillreap_test(NAME SOURCES... LIBS libs... [WINDOWS_WRAPPER command...]): LIBS names the
# layer under test (and any helper library); the test links nothing else of Quillreap.
# WINDOWS_WRAPPER: on Windows the program runs under Wine through this host command.
# Linux: one CTest test per test case. Windows: one CTest test per executable, because
# every Wine process costs about a second.
function(quillreap_test name)
  cmake_parse_arguments(QT "" "" "SOURCES;LIBS;WINDOWS_WRAPPER" ${ARGN})
  add_executable(${name} ${QT_SOURCES} ${QT_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${QT_LIBS} ${QUILLREAP_GTEST} quillreap_test_main)
  target_compile_definitions(${name} PRIVATE QUILLREAP_FIXTURES_DIR="${QUILLREAP_FIXTURES_DIR}")
  # Test sources write Chinese texts plainly and the compiler stores them in the program's
  # own encoding. GB18030 gives the GBK bytes of every GBK character and, unlike plain
  # GBK, can also encode the odd sign in standard headers (the micro sign of <chrono>).
  # Program sources spell GBK bytes out instead: see scripts/gbk-literal.
  target_compile_options(${name} PRIVATE -fexec-charset=GB18030)
  target_precompile_headers(${name} REUSE_FROM quillreap_test_main)
  if(WIN32 AND QT_WINDOWS_WRAPPER)
    add_test(NAME ${name}
             COMMAND ${QT_WINDOWS_WRAPPER} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES TIMEOUT 900
                         SKIP_RETURN_CODE ${QUILLREAP_SKIPPED_EXIT_CODE})
  elseif(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 900
                         SKIP_RETURN_CODE ${QUILLREAP_SKIPPED_EXIT_CODE})
  else()
    # One case per process: gtest_discover_tests marks a skipped case from its output.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
                         SKIP_RETURN_CODE ${QUILLREAP_SKIPPED_EXIT_CODE})
  endif()
endfunction()
