# The Windows packages, made by cpack --preset windows: a zip to unpack
# anywhere, and an installer (NSIS) with a Start-menu entry and an
# uninstaller. Both hold one folder: the programs, boardio.dll, the runtime
# DLLs (installed by cmake/windows_runtime.cmake), a short readme and the
# documents for authors of draughts programs.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/windows/README.txt ${DAMRELAY_DOCUMENTS} DESTINATION . COMPONENT programs)
# The tools' documents beside their programs, each saying how to use it on
# Windows too: boardsim's README as boardsim.md, and the README's part on
# boardwatch as boardwatch.md, with the rules by which it reads moves
# (tracker.md), to which it points.
install(FILES ${PROJECT_SOURCE_DIR}/tools/boardsim/README.md DESTINATION . RENAME boardsim.md COMPONENT programs)
install(FILES ${DAMRELAY_TRACKER_RULES} DESTINATION . COMPONENT programs)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
string(FIND "${readme}" "## Following games: boardwatch\n" first)
string(SUBSTRING "${readme}" ${first} -1 boardwatch_part)
string(FIND "${boardwatch_part}" "\n## " end)
string(SUBSTRING "${boardwatch_part}" 0 ${end} boardwatch_part)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/boardwatch.md "${boardwatch_part}\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/boardwatch.md DESTINATION . COMPONENT programs)
set(tool_documents boardsim.md boardwatch.md tracker.md)

# What the zip must hold, file for file, for scripts/windows.sh.
set(expected README.txt boardio.dll ${tool_documents} ${DAMRELAY_RUNTIME_DLLS})
foreach(document ${DAMRELAY_DOCUMENTS})
  get_filename_component(name ${document} NAME)
  list(APPEND expected ${name})
endforeach()
get_filename_component(name ${DAMRELAY_PROTOCOL} NAME)
foreach(program ${DAMRELAY_PROGRAMS})
  list(APPEND expected ${program}.exe)
endforeach()
list(SORT expected)
list(JOIN expected "\n" expected)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/expected-files.txt "${expected}\n")

set(CPACK_GENERATOR ZIP NSIS)
# One package of everything: the installer offers no parts to leave out.
set(CPACK_MONOLITHIC_INSTALL ON)
set(CPACK_PACKAGE_NAME damrelay)
set(CPACK_PACKAGE_VENDOR "damrelay developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "relay between an electronic draughts board and draughts programs")
set(CPACK_PACKAGE_FILE_NAME damrelay-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY damrelay)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/copyright)
set(CPACK_STRIP_FILES ON)

# A 64-bit installer for 64-bit programs: it installs under the 64-bit
# Program Files, and runs where only 64-bit programs run (Wine without its
# 32-bit part).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "damrelay ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "damrelay ${PROJECT_VERSION}")
# The entries in the Start menu's damrelay folder, beside the uninstaller's.
# The protocol and the tools' documents open in Notepad: Windows knows no
# program for .md files.
set(CPACK_NSIS_MENU_LINKS "damrelay.exe" "damrelay" "README.txt" "damrelay readme")
set(links "damrelay protocol for draughts programs=${name}" "boardsim readme=boardsim.md" "boardwatch readme=boardwatch.md")
set(CPACK_NSIS_CREATE_ICONS_EXTRA)
set(CPACK_NSIS_DELETE_ICONS_EXTRA)
foreach(link ${links})
  string(REPLACE "=" ";" link "${link}")
  list(GET link 0 title)
  list(GET link 1 document)
  string(APPEND CPACK_NSIS_CREATE_ICONS_EXTRA
    "\n  CreateShortCut '$SMPROGRAMS\\$STARTMENU_FOLDER\\${title}.lnk' '$WINDIR\\notepad.exe' '\"$INSTDIR\\${document}\"'")
  string(APPEND CPACK_NSIS_DELETE_ICONS_EXTRA "\n  Delete '$SMPROGRAMS\\$MUI_TEMP\\${title}.lnk'")
endforeach()
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# cpack receives the NSIS lines above, backslashes and quotes, as written.
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
