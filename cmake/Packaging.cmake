# The Debian and RPM packages, made by CPack from the install rules (tools/package.sh).
# Both install under /usr; the .deb's dependencies come from dpkg-shlibdeps.

# Debian wants the changelog and the manual page compressed at the highest level and without
# a time stamp in the gzip header.
find_program(GZIP gzip REQUIRED)
set(compressed)
foreach(file changelog vorpa.1)
    set(copy ${CMAKE_CURRENT_BINARY_DIR}/packaging/${file})
    add_custom_command(OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/${file} ${copy}
        COMMAND ${GZIP} -9nf ${copy}
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${file}
        VERBATIM)
    list(APPEND compressed ${copy}.gz)
endforeach()
add_custom_target(packaging_docs ALL DEPENDS ${compressed})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
              ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorpa)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/vorpa.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Folders get the usual 755 whatever the umask of the one who builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_NAME vorpa)
set(CPACK_PACKAGE_VENDOR Quorvantelle)
set(CPACK_PACKAGE_CONTACT "Quorvantelle <packages@quorvantelle.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arithmetic drill for school pupils, in Russian")
# Debian shows each line as it is: at most 79 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "The pupil types a name, picks one of seven kinds of example (addition,
subtraction, multiplication, integer division, remainder, power, integer part
of a logarithm) and a range for each operand. The program asks twelve
questions, judges each answer at once and ends with the number of right
answers, whether the test was passed and how long the pupil spent thinking.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# A build for another processor (cmake/toolchains/) makes the .deb of that architecture, its
# dependencies read by dpkg-shlibdeps from the target's libraries.
if(VORPA_DEB_ARCHITECTURE)
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${VORPA_DEB_ARCHITECTURE})
    set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackTarget.cmake)
    file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "set(ENV{DEB_HOST_ARCH} ${VORPA_DEB_ARCHITECTURE})\n")
else()
    set(CPACK_GENERATOR DEB RPM)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by Qt at run time, so dpkg-shlibdeps cannot see them: the SVG plugins draw the window
# icon and the stopwatch; without Qt's translations the dialogs keep some English buttons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_LICENSE LicenseRef-proprietary)
set(CPACK_RPM_PACKAGE_GROUP Amusements/Teaching)
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# The same files as the .deb: no /usr/lib/.build-id links.
set(CPACK_RPM_SPEC_MORE_DEFINE "%define _build_id_links none")
# Folders that belong to the file system or to the icon theme, not to this package.
list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
    /usr/share/applications /usr/share/icons /usr/share/icons/hicolor
    /usr/share/icons/hicolor/scalable /usr/share/icons/hicolor/scalable/apps
    /usr/share/metainfo /usr/share/man /usr/share/man/man1)

include(CPack)
