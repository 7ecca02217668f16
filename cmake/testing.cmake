# GoogleTest for both builds: Debian's library natively, its sources for MinGW.
enable_testing()
include(GoogleTest)

if(WIN32)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(ZED_GTEST_LIBS gtest gmock gtest_main)
else()
  find_package(GTest REQUIRED)
  set(ZED_GTEST_LIBS GTest::gtest GTest::gmock GTest::gtest_main)
endif()

# Windows tests run under Wine in a prefix of their own inside the build
# folder (scripts/wine-prefix.sh makes it). The emulator carries Wine's
# environment, so test discovery and the tests themselves both get it.
# Wine shows the Linux file system as drive Z:, so build paths handed to a
# test as text get that drive in front.
set(ZED_WINE_DRIVE "")
if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(ZED_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix the tests run in")
  set(ZED_WINE_DRIVE "Z:")
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env WINEPREFIX=${ZED_WINEPREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= wine)
endif()

# zed_add_tests(module [LIBS extra...]) builds <module>/tests/*.cpp into
# <module>_tests and registers each test case with CTest.
function(zed_add_tests module)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(NOT test_sources)
    return()
  endif()
  add_executable(${module}_tests ${test_sources})
  target_link_libraries(${module}_tests PRIVATE ${module} testkit ${ARG_LIBS} ${ZED_GTEST_LIBS})
  gtest_discover_tests(${module}_tests
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 300
    PROPERTIES ENVIRONMENT "ZED_TEST_TMP=${ZED_WINE_DRIVE}${CMAKE_BINARY_DIR}/test-tmp")
endfunction()
