# Where `cmake --install` and the Debian package put the program. The program reads config.ini
# from its own folder, so both executables go to one folder of their own, the prefix itself:
# /opt/capcheque unless another is given. The desktop entry and the icon go where desktop menus
# look for them.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /opt/capcheque CACHE PATH "Folder of the installed program" FORCE)
endif()
set(CAP_XDG_DATA_DIR /usr/share CACHE STRING
    "Folder of the desktop entry and icon (absolute, or relative to the prefix)")

install(TARGETS capcheque capdb RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/config.ini.exemplo DESTINATION .)
configure_file(${CMAKE_CURRENT_LIST_DIR}/capcheque.desktop.in
               ${CMAKE_BINARY_DIR}/packaging/capcheque.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/capcheque.desktop
        DESTINATION ${CAP_XDG_DATA_DIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/capcheque.svg
        DESTINATION ${CAP_XDG_DATA_DIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME capcheque)
set(CPACK_PACKAGE_VERSION 1.2.0)
set(CPACK_PACKAGE_VENDOR "Sistema de captura de cheques")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Captura de cheques, arquivos para o banco, pagamento de salários e listagens")
set(CPACK_PACKAGE_CONTACT "suporte@capcheque.invalid")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_STRIP_FILES ON)
# The libraries the executables link (Qt, SQLite, libpq) are found by dpkg-shlibdeps; Qt's
# platform plugins are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
include(CPack)
