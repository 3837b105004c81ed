# Installing on Windows, and the installer CPack makes with NSIS
# (cpack -G NSIS): the programs, the table beside them and, for the window,
# the Qt libraries and plugins that windeployqt gathers, all in one folder;
# a Start menu entry for the window and an uninstaller. Installed under
# Program Files, which users cannot write, the archive goes to their own
# data folder.
install(TARGETS vivezecf RUNTIME DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/data/comuni.dat ${PROJECT_SOURCE_DIR}/data/README.md
        DESTINATION bin)
if(VIVEZE_GUI)
  install(TARGETS VivezeVevoziv RUNTIME DESTINATION bin)
  qt_generate_deploy_app_script(TARGET VivezeVevoziv OUTPUT_SCRIPT deploy_script
                                NO_UNSUPPORTED_PLATFORM_ERROR)
  install(SCRIPT ${deploy_script})
  set(CPACK_PACKAGE_EXECUTABLES VivezeVevoziv "Viveze Vevoziv")
  set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\VivezeVevoziv.exe)
endif()

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME "Viveze Vevoziv")
set(CPACK_PACKAGE_VENDOR "Viveze Vevoziv")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Calcolo del codice fiscale, con archivio")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Viveze Vevoziv")
set(CPACK_PACKAGE_FILE_NAME "VivezeVevoziv-${PROJECT_VERSION}-win64")
set(CPACK_NSIS_PACKAGE_NAME "Viveze Vevoziv")
set(CPACK_NSIS_DISPLAY_NAME "Viveze Vevoziv ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/ui/images/app.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/ui/images/app.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# A 64-bit installer for 64-bit programs, installing into the 64-bit
# Program Files.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
include(CPack)
