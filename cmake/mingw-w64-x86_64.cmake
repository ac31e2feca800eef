# Cross-builds for 64-bit Windows with Debian's mingw-w64 GCC and runs what
# it built (tests, test discovery) under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The -posix variant has std::thread; the plain name may point at the one
# without threads.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# Boost's headers are the host's, and header-only; /usr/include itself must
# stay off the include path, since glibc's headers there break the Windows
# build. A folder holding nothing but a link to them takes its place.
set(DAMRELAY_MINGW_BOOST_ROOT ${CMAKE_BINARY_DIR}/mingw-boost)
if(NOT EXISTS ${DAMRELAY_MINGW_BOOST_ROOT}/boost)
  file(MAKE_DIRECTORY ${DAMRELAY_MINGW_BOOST_ROOT})
  file(CREATE_LINK /usr/include/boost ${DAMRELAY_MINGW_BOOST_ROOT}/boost SYMBOLIC)
endif()
set(Boost_INCLUDE_DIR ${DAMRELAY_MINGW_BOOST_ROOT} CACHE PATH "Boost's headers, without the rest of /usr/include")
set(Boost_NO_BOOST_CMAKE ON CACHE BOOL "")
# CLI11's the same way.
set(DAMRELAY_MINGW_CLI11_ROOT ${CMAKE_BINARY_DIR}/mingw-cli11)
if(NOT EXISTS ${DAMRELAY_MINGW_CLI11_ROOT}/CLI)
  file(MAKE_DIRECTORY ${DAMRELAY_MINGW_CLI11_ROOT})
  file(CREATE_LINK /usr/include/CLI ${DAMRELAY_MINGW_CLI11_ROOT}/CLI SYMBOLIC)
endif()

# Tests are listed when ctest runs them, under the Wine that the test run
# starts, not while building: the build needs no Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
