# Read by cpack (CPACK_PROJECT_CONFIG_FILE): the Depends of the damrelay
# package and of the library's package, found by dpkg-shlibdeps in what the
# build made. debian/shlibs.local in its folder maps the library to its
# package, as the library's package's shlibs file will for other programs.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
include(${CPACK_DAMRELAY_BINARIES})

function(shlibdeps var)
  execute_process(COMMAND dpkg-shlibdeps -O ${ARGN}
    WORKING_DIRECTORY ${CPACK_DAMRELAY_SHLIBDEPS_DIR}
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0 OR NOT output MATCHES "^shlibs:Depends=(.+)$")
    message(FATAL_ERROR "dpkg-shlibdeps ${ARGN}: ${status}\n${output}\n${errors}")
  endif()
  set(${var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

get_filename_component(libdir ${library} DIRECTORY)
shlibdeps(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS -l${libdir} ${programs})
shlibdeps(CPACK_DEBIAN_LIBRARY_PACKAGE_DEPENDS ${library})
