# add_test_programs(LINK <libraries> POSIX_ONLY <names> PROGRAMS <targets>
#                   NAMES <variable> [FUZZ])
# One GoogleTest program per *_test.cpp in the calling folder, linked with
# LINK; CTest runs each of its tests.
# - On POSIX systems each also links testsupport: the virtual board, child
#   processes, the draughts program's TCP client. The ones named in
#   POSIX_ONLY need it or other POSIX parts, and a Windows build leaves
#   them out.
# - Each target in PROGRAMS is built before the tests, and its path is
#   given to them as <TARGET>_BINARY (DAMRELAY_BINARY for damrelay).
# - NAMES receives the programs made.
# With FUZZ: one libFuzzer program per *_fuzzer.cpp instead, and no test.
function(add_test_programs)
  cmake_parse_arguments(arg "FUZZ" "NAMES" "LINK;POSIX_ONLY;PROGRAMS" ${ARGN})
  set(suffix _test)
  if(arg_FUZZ)
    set(suffix _fuzzer)
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*${suffix}.cpp)
  set(made)
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    if(WIN32 AND name IN_LIST arg_POSIX_ONLY)
      continue()
    endif()
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${arg_LINK})
    foreach(program ${arg_PROGRAMS})
      string(TOUPPER ${program}_BINARY variable)
      target_compile_definitions(${name} PRIVATE ${variable}="$<TARGET_FILE:${program}>")
      add_dependencies(${name} ${program})
    endforeach()
    if(arg_FUZZ)
      # Only these programs get libFuzzer itself, which brings its own main().
      target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
      target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    else()
      if(NOT WIN32)
        target_link_libraries(${name} PRIVATE testsupport)
      endif()
      target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
    endif()
    list(APPEND made ${name})
  endforeach()
  if(arg_NAMES)
    set(${arg_NAMES} ${made} PARENT_SCOPE)
  endif()
endfunction()
