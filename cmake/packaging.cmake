# Installing and packaging.
#   Linux:   `cmake --install` puts the program in PREFIX/bin, its man page
#            in PREFIX/share/man/man1 and the settings a first run starts
#            from (the css and html5 modes, the html5 mode's header, footer
#            and vocabulary) in PREFIX/share/prismet; the `package` target
#            makes a .deb that installs the same under /usr.
#   Windows: the `package` target makes prismet-VERSION-win32.zip: the program
#            with a settings file holding the css and html5 modes, the
#            headers and footers that make every page a complete HTML
#            document, the html5 mode's vocabulary, and a read-me; and the
#            same program a second time as prismet-html5.exe, whose own
#            settings file (named after it) has the html5 mode as its
#            default, so that dropping files on it makes html5 pages.
set(CPACK_PACKAGE_NAME prismet)
set(CPACK_PACKAGE_VENDOR prismet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns C++ source files into HTML with syntax colouring")
# The packages carry the programs without their debugging information.
set(CPACK_STRIP_FILES TRUE)

# The texts both packages carry (res/share): the settings file with the
# ready modes, in code page 932 like every settings file, and the html5
# mode's header, footer and vocabulary. The Windows zip adds its read-me
# and the Shift_JIS header and footer of the built-in defaults (res/windows).
# Lines end with CR LF, as the program writes its settings. A fourth word
# names the mode that a settings file made from the entry has as its
# default (prismet-html5.ini: the html5 mode in [prismet], then the rest).
set(text_dir ${PROJECT_BINARY_DIR}/package-texts)
set(shared_texts
  "share/prismet.ini.in prismet.ini cp932"
  "share/prismet-html5.top prismet-html5.top ascii"
  "share/prismet-html5.btm prismet-html5.btm ascii"
  "share/prismet-cpp26.voc prismet-cpp26.voc ascii")
set(windows_texts
  "windows/readme.txt.in readme.txt utf-8-bom"
  "windows/prismet.top prismet.top ascii"
  "windows/prismet.btm prismet.btm ascii"
  "share/prismet.ini.in prismet-html5.ini cp932 html5")
set(texts ${shared_texts})
if(WIN32)
  list(APPEND texts ${windows_texts})
endif()
set(text_outputs "")
set(text_platform linux)
if(WIN32)
  set(text_platform windows)
endif()
foreach(entry IN LISTS texts)
  separate_arguments(entry)
  list(GET entry 0 from)
  list(GET entry 1 to)
  list(GET entry 2 encoding)
  set(default_mode "")
  list(LENGTH entry words)
  if(words GREATER 3)
    list(GET entry 3 default_mode)
  endif()
  add_custom_command(OUTPUT ${text_dir}/${to}
    COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/res/${from} -DOUT=${text_dir}/${to}
      -DENCODING=${encoding} -DVERSION=${PROJECT_VERSION} -DPLATFORM=${text_platform}
      -DDEFAULT_MODE=${default_mode} -P ${PROJECT_SOURCE_DIR}/cmake/package_text.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/res/${from} ${PROJECT_SOURCE_DIR}/cmake/package_text.cmake
    VERBATIM)
  list(APPEND text_outputs ${text_dir}/${to})
endforeach()
add_custom_target(package_texts ALL DEPENDS ${text_outputs})
# The program run from its build folder reads them as its data files.
add_dependencies(prismet package_texts)
if(PRISMET_TESTS)
  add_test(NAME package_text COMMAND ${CMAKE_COMMAND} -DSCRIPT=${PROJECT_SOURCE_DIR}/cmake/package_text.cmake
    -DWORK=${PROJECT_BINARY_DIR}/package_text_test -P ${PROJECT_SOURCE_DIR}/cmake/package_text_test.cmake)
endif()

if(WIN32)
  install(TARGETS prismet RUNTIME DESTINATION .)
  # The drop target of the html5 mode: the program installed above (stripped
  # there) copied under the name whose settings file is prismet-html5.ini.
  install(CODE [[
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}" TYPE PROGRAM RENAME prismet-html5.exe
      FILES "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/prismet.exe")
  ]])
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
  # The program finds them from its own folder: ../share/prismet.
  install(FILES ${text_outputs} DESTINATION ${CMAKE_INSTALL_DATADIR}/prismet)
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "prismet maintainers")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The program is linked statically: it needs no other package.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()

include(CPack)
