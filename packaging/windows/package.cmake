# The Windows packages, made by cpack --preset windows: a zip to unpack
# anywhere, and an installer (NSIS) with a Start-menu entry and an
# uninstaller. Both hold one folder: the programs, boardio.dll, the runtime
# DLLs (installed by cmake/windows_runtime.cmake), a short readme and the
# documents for authors of draughts programs.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/windows/README.txt ${DAMRELAY_DOCUMENTS} DESTINATION . COMPONENT programs)
# boardsim's README, which says how to use it on Windows too, as the
# document beside boardsim.exe.
set(boardsim_document boardsim.md)
install(FILES ${PROJECT_SOURCE_DIR}/tools/boardsim/README.md DESTINATION . RENAME ${boardsim_document}
  COMPONENT programs)

# What the zip must hold, file for file, for scripts/windows.sh.
set(expected README.txt boardio.dll ${boardsim_document} ${DAMRELAY_RUNTIME_DLLS})
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
# The protocol and boardsim's readme open in Notepad: Windows knows no
# program for .md files.
set(CPACK_NSIS_MENU_LINKS "damrelay.exe" "damrelay" "README.txt" "damrelay readme")
set(protocol_link "$SMPROGRAMS\\$STARTMENU_FOLDER\\damrelay protocol for draughts programs.lnk")
set(boardsim_link "$SMPROGRAMS\\$STARTMENU_FOLDER\\boardsim readme.lnk")
set(CPACK_NSIS_CREATE_ICONS_EXTRA
  "CreateShortCut '${protocol_link}' '$WINDIR\\notepad.exe' '\"$INSTDIR\\${name}\"'
  CreateShortCut '${boardsim_link}' '$WINDIR\\notepad.exe' '\"$INSTDIR\\${boardsim_document}\"'")
string(REPLACE "$STARTMENU_FOLDER" "$MUI_TEMP" protocol_link "${protocol_link}")
string(REPLACE "$STARTMENU_FOLDER" "$MUI_TEMP" boardsim_link "${boardsim_link}")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '${protocol_link}'
  Delete '${boardsim_link}'")
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# cpack receives the NSIS lines above, backslashes and quotes, as written.
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
