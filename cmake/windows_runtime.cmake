# The mingw-w64 runtime that the programs and boardio.dll share: one C++
# runtime for both, since std::string and std::shared_ptr cross the DLL's
# boundary. The DLLs are copied beside everything the build runs, so that
# Wine finds them without a search path, and installed beside the programs.
set(DAMRELAY_RUNTIME_DLLS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
foreach(dll ${DAMRELAY_RUNTIME_DLLS})
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
  endif()
  # Debian's libstdc++-6.dll carries its debugging information: 23 MB of
  # the 25 that would ship.
  set(copy ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dll})
  file(COPY ${found} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  execute_process(COMMAND ${CMAKE_STRIP} --strip-debug ${copy} COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${copy} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()
