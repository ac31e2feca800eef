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

# Boost's, CLI11's and nlohmann's JSON headers are the host's, and
# header-only; /usr/include itself must stay off the include path, since
# glibc's headers there break the Windows build. A folder for each, holding
# nothing but a link to them, takes its place.
function(damrelay_host_headers folder headers)
  if(NOT EXISTS ${folder}/${headers})
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK /usr/include/${headers} ${folder}/${headers} SYMBOLIC)
  endif()
endfunction()
set(DAMRELAY_MINGW_BOOST_ROOT ${CMAKE_BINARY_DIR}/mingw-boost)
damrelay_host_headers(${DAMRELAY_MINGW_BOOST_ROOT} boost)
set(Boost_INCLUDE_DIR ${DAMRELAY_MINGW_BOOST_ROOT} CACHE PATH "Boost's headers, without the rest of /usr/include")
set(Boost_NO_BOOST_CMAKE ON CACHE BOOL "")
set(DAMRELAY_MINGW_CLI11_ROOT ${CMAKE_BINARY_DIR}/mingw-cli11)
damrelay_host_headers(${DAMRELAY_MINGW_CLI11_ROOT} CLI)
set(DAMRELAY_MINGW_JSON_ROOT ${CMAKE_BINARY_DIR}/mingw-json)
damrelay_host_headers(${DAMRELAY_MINGW_JSON_ROOT} nlohmann)

# Tests are listed when ctest runs them, under the Wine that the test run
# starts, not while building: the build needs no Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
