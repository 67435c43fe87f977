# Installation (cmake --install) and the Debian package (cpack -G DEB).
#
# bin/       tessarel, tessarel-cli, tessarel-browserd
# share/     the desktop entry, the MIME package of the document types and the icons (written by
#            tessarel-xdg-files with the code the program registers them with per user), the
#            AppStream metadata, the manual pages, the bash completion, the copyright and changelog
#
# The installation prefix may change at install time (cmake --install --prefix): the desktop
# entry, which names the installed program, is written then.
include(GNUInstallDirs)

set(TESSAREL_HOME_PAGE "https://tessarel.corvale.example/")
# Directories the install step makes: readable by everyone, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

foreach(program tessarel tessarel-cli tessarel-browserd)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

if(TARGET tessarel-xdg-files)
  install(CODE "
    set(share \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}\")
    execute_process(
      COMMAND \"$<TARGET_FILE:tessarel-xdg-files>\" \"\${share}\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tessarel\"
      OUTPUT_VARIABLE written RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR \"tessarel-xdg-files could not write the desktop files under \${share}\")
    endif()
    string(STRIP \"\${written}\" written)
    string(REPLACE \"\\n\" \";\" written \"\${written}\")
    foreach(file IN LISTS written)
      message(STATUS \"Installing: \${file}\")
    endforeach()
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \${written})
  ")
endif()

configure_file(${PROJECT_SOURCE_DIR}/packaging/tessarel.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/packaging/example.corvale.tessarel.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/example.corvale.tessarel.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/bash-completion/tessarel-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Manual pages and the changelog are installed compressed, as Debian's policy asks; -n keeps the
# name and time out of the archive so that builds are reproducible.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed)
foreach(source docs/man/tessarel.1 docs/man/tessarel-cli.1 docs/man/tessarel-browserd.1 packaging/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(output ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/${source} > ${output}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
  list(APPEND compressed ${output})
endforeach()
add_custom_target(tessarel_compressed_docs ALL DEPENDS ${compressed})
list(FILTER compressed INCLUDE REGEX "\\.1\\.gz$")
install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessarel)
# For the package's check; inert elsewhere.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tessarel)

# The Debian package. Its dependencies come from dpkg-shlibdeps, plus xdg-utils, through which
# the browser companion opens addresses. The desktop, MIME and icon databases are brought up to
# date by the triggers of desktop-file-utils, shared-mime-info and the icon theme, so the package
# has no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessarel)
set(CPACK_PACKAGE_VENDOR Corvale)
set(CPACK_PACKAGE_CONTACT "Tessarel developers <tessarel@corvale.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "password manager with plain and encrypted card files")
# The extended description; CPack indents it and turns the empty line into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessarel keeps web site logins, FTP servers, mail and bank accounts, credit
cards, software keys and other account details on cards sorted into
categories, in card files saved plain or encrypted with a password. It opens
a card's web site through the desktop's browser, prints cards, and encrypts
any single file on disk.

The package also holds tessarel-cli, which lists, searches, exports and
imports card files from scripts, and tessarel-browserd, the companion that
hands the program's web addresses to the desktop's browser.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TESSAREL_HOME_PAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The install step writes the desktop entry with the final path of the program in it, so the
# package is staged with DESTDIR under its real prefix.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
