# GoogleTest for the Windows test hosts, compiled by the MinGW toolchain from Debian's sources
# (package googletest), as a static library: with the toolchain's -static, the hosts then need
# no DLL beyond Windows' own under Wine. GoogleMock is left out, and only what links it is built.
set(TARNWELL_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian package googletest)")
if(NOT EXISTS ${TARNWELL_GOOGLETEST_DIR}/googletest/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest's sources not found: install the Debian package googletest")
endif()

set(BUILD_SHARED_LIBS OFF)
add_subdirectory(${TARNWELL_GOOGLETEST_DIR}/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_target_properties(gtest PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/googletest)
