# What `cmake --install` puts beside the programs, and the Debian package made from it:
# `cmake --build build --target package` writes build/zepa2_<version>_<arch>.deb.
include(GNUInstallDirs)

if(ZEPA2_BUILD_UI)
  install(FILES ${PROJECT_SOURCE_DIR}/res/zepa2.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 32)
    install(FILES ${PROJECT_SOURCE_DIR}/res/icon128_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME zepa2.png)
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/res/icon128.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps RENAME zepa2.png)
  configure_file(${PROJECT_SOURCE_DIR}/res/io.github.zepa2.zepa2.metainfo.xml
                 ${PROJECT_BINARY_DIR}/io.github.zepa2.zepa2.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/io.github.zepa2.zepa2.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Manual pages, compressed as Debian ships them (-n: no name or time inside, the same bytes each build).
find_program(ZEPA2_GZIP gzip REQUIRED)
set(ZEPA2_MAN_PAGES zepa2-check.1)
if(ZEPA2_BUILD_UI)
  list(APPEND ZEPA2_MAN_PAGES zepa2.1)
endif()
set(ZEPA2_MAN_OUTPUTS)
foreach(page ${ZEPA2_MAN_PAGES})
  configure_file(${PROJECT_SOURCE_DIR}/res/man/${page}.in ${PROJECT_BINARY_DIR}/man/${page} @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/${page}.gz
                     COMMAND ${ZEPA2_GZIP} -9nf -k ${PROJECT_BINARY_DIR}/man/${page}
                     DEPENDS ${PROJECT_BINARY_DIR}/man/${page}
                     COMMENT "Compressing the manual page ${page}")
  list(APPEND ZEPA2_MAN_OUTPUTS ${PROJECT_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(zepa2_man_pages ALL DEPENDS ${ZEPA2_MAN_OUTPUTS})
install(FILES ${ZEPA2_MAN_OUTPUTS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The unit names the program by its installed path, which is known only when installing: the
# package installs under /usr whatever prefix the build tree was configured with.
install(CODE "
  set(CMAKE_INSTALL_FULL_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/res/zepa2-check.service.in\"
                 \"${PROJECT_BINARY_DIR}/unit/zepa2-check.service\" @ONLY)
")
install(FILES ${PROJECT_BINARY_DIR}/unit/zepa2-check.service DESTINATION lib/systemd/user)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zepa2)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ZEPA2 maintainers <zepa2@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "publishes a changing public IPv4 address to web pages by FTP")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "ZEPA2 watches the public IPv4 address of a machine behind a router and, whenever
it changes, fills it into a page template for each of up to five FTP sites and
uploads the page. It has a small Japanese window with a tray icon, and a
companion command, zepa2-check, that runs the same check without a window.")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Depends comes from the libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (standard buttons, file pickers) in Japanese; libsecret for keyring: passwords,
# opened only when one is used, so dpkg-shlibdeps does not see it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libsecret-1-0")
include(CPack)
