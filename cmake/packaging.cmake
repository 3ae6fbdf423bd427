# Installing and packaging.
#   Linux:   `cmake --install` puts the program in PREFIX/bin and its man page
#            in PREFIX/share/man/man1; the `package` target makes a .deb that
#            installs the same under /usr.
#   Windows: the `package` target makes prismet-VERSION-win32.zip: the program
#            with a settings file holding the css mode, the header and footer
#            that make every page a complete HTML document, and a read-me.
set(CPACK_PACKAGE_NAME prismet)
set(CPACK_PACKAGE_VENDOR prismet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns C++ source files into HTML with syntax colouring")
# The packages carry the programs without their debugging information.
set(CPACK_STRIP_FILES TRUE)

if(WIN32)
  # Windows programs expect CR LF text: the settings file in code page 932,
  # the read-me in UTF-8 with a byte order mark (which Notepad reads in any
  # locale), the header and footer in ASCII.
  set(text_dir ${PROJECT_BINARY_DIR}/windows-zip)
  set(texts
    "prismet.ini.in prismet.ini cp932"
    "readme.txt.in readme.txt utf-8-bom"
    "prismet.top prismet.top ascii"
    "prismet.btm prismet.btm ascii")
  set(text_outputs "")
  foreach(entry IN LISTS texts)
    separate_arguments(entry)
    list(GET entry 0 from)
    list(GET entry 1 to)
    list(GET entry 2 encoding)
    add_custom_command(OUTPUT ${text_dir}/${to}
      COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/res/windows/${from} -DOUT=${text_dir}/${to}
        -DENCODING=${encoding} -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/windows_text.cmake
      DEPENDS ${PROJECT_SOURCE_DIR}/res/windows/${from} ${PROJECT_SOURCE_DIR}/cmake/windows_text.cmake
      VERBATIM)
    list(APPEND text_outputs ${text_dir}/${to})
  endforeach()
  add_custom_target(windows_zip_texts ALL DEPENDS ${text_outputs})

  install(TARGETS prismet RUNTIME DESTINATION .)
  install(FILES ${text_outputs} DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME prismet-${PROJECT_VERSION}-win32)
else()
  include(GNUInstallDirs)
  # The man page carries the project's version; installed compressed, as
  # Debian keeps man pages.
  set(man_page ${PROJECT_BINARY_DIR}/generated/prismet.1)
  configure_file(${PROJECT_SOURCE_DIR}/docs/prismet.1.in ${man_page} @ONLY)
  add_custom_command(OUTPUT ${man_page}.gz
    COMMAND gzip -9nkf ${man_page}
    DEPENDS ${man_page}
    VERBATIM)
  add_custom_target(man_page ALL DEPENDS ${man_page}.gz)

  install(TARGETS prismet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "prismet maintainers")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The program is linked statically: it needs no other package.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()

include(CPack)
