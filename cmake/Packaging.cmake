# What a shop installs: on Windows an NSIS installer holding the program, Qt and the MinGW runtime; on Linux a
# .deb. Only the program is installed: the settings files, the history and the backups are the shop's, made
# at run time, so an uninstall or an upgrade never removes or replaces them.
set(CPACK_PACKAGE_NAME "zanto-yedek")
set(CPACK_PACKAGE_VENDOR "ZANTO")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ZANTO POS SQL Yedekleme Modülü")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "ZANTO destek <destek@zanto.invalid>")
set(CPACK_STRIP_FILES ON)
# The values reach the installer script as written, quotes and all.
set(CPACK_VERBATIM_VARIABLES ON)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsRuntime.cmake)
  kvz_install_windows_runtime(kvz)

  set(CPACK_GENERATOR NSIS)
  set(CPACK_PACKAGE_FILE_NAME "ZantoYedekKurulum-${PROJECT_VERSION}")
  # Beside the program live its settings files, which the shop's user writes: a folder of its own on the
  # system drive, never under Program Files, where only administrators may write.
  set(CPACK_NSIS_INSTALL_ROOT "C:")
  set(CPACK_PACKAGE_INSTALL_DIRECTORY "ZantoYedek")
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "ZantoYedek")
  set(CPACK_NSIS_PACKAGE_NAME "ZANTO POS SQL Yedekleme Modülü")
  set(CPACK_NSIS_DISPLAY_NAME "ZANTO POS SQL Yedekleme Modülü")
  set(CPACK_PACKAGE_EXECUTABLES "kvz" "ZANTO POS SQL Yedekleme")
  set(CPACK_NSIS_INSTALLED_ICON_NAME "kvz.exe")
  set(CPACK_NSIS_UNINSTALL_NAME "Kaldir")
  # A start-up entry left behind would start a program that is gone at every login.
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  DeleteRegValue HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "kvz"
  DeleteRegValue HKLM "Software\Microsoft\Windows\CurrentVersion\Run-" "kvz"
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "kvz"
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run-" "kvz"
]=])
  # "AÇILIŞTA ÇALIŞMASIN" keeps the entry in the Run- key, which the program only opens, never creates:
  # without it a switched-off entry would be dropped. The key stays at uninstall; other programs may use it.
  set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Run-" "" ""
]=])
  include(${CMAKE_CURRENT_LIST_DIR}/TurkishNsisTemplate.cmake)
  kvz_write_turkish_nsis_template(${CMAKE_BINARY_DIR}/packaging)
  list(PREPEND CMAKE_MODULE_PATH ${CMAKE_BINARY_DIR}/packaging)
else()
  if(KVZ_DEB)
    install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/linux/zanto-yedek DESTINATION bin)
    install(FILES ${PROJECT_SOURCE_DIR}/scripts/linux/zanto-yedek.desktop DESTINATION share/applications)
  endif()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The driver the program reaches SQL Server through, and the ODBC manager that loads it.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "tdsodbc, libqt6sql6-sqlite")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
include(CPack)
