# The Windows packages, made by cpack --preset windows: a zip to unpack
# anywhere, and an installer (NSIS) with a Start-menu entry and an
# uninstaller. Both hold one folder: the programs, boardio.dll, the runtime
# DLLs (installed by cmake/windows_runtime.cmake) and a short readme.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/windows/README.txt DESTINATION . COMPONENT programs)

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
set(CPACK_NSIS_MENU_LINKS "damrelay.exe" "damrelay" "README.txt" "damrelay readme")
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
include(CPack)
