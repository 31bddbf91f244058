# GoogleTest from Debian's source package, built with the project's own compiler so the
# cross-built Windows tests link against a Windows GoogleTest. Test binaries for Windows run
# under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
set(QM_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${QM_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# Test code, and GoogleTest, are built at -O1 in release builds: about a third less compile time
# than -O3, with the warnings that need the optimiser's flow analysis still on. The program's own
# libraries, which the tests link, keep the release flags: the code under test is what ships.
set(QM_TEST_OPTIMIZE $<$<CONFIG:Release>:-O1>)
foreach(lib gtest gtest_main gmock gmock_main)
  target_compile_options(${lib} PRIVATE ${QM_TEST_OPTIMIZE})
endforeach()

# qm_add_gtest(<name> SOURCES ... LIBS ...): one test binary; natively every test case is its own
# CTest entry, under Wine the binary is one entry (discovery under an emulator is slow).
function(qm_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  qm_warnings(${name})
  target_compile_options(${name} PRIVATE ${QM_TEST_OPTIMIZE})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  endif()
endfunction()
