# make package: one Debian package with both editions. Its library
# dependencies come from dpkg-shlibdeps; the Qt platform plugins are loaded at
# run time, so no library names them and they are listed by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillet developers")
# Whoever builds the package is its maintainer: Debian's own DEBFULLNAME and
# DEBEMAIL when set, else the project's address; -DQUILLET_PACKAGE_CONTACT wins.
if(DEFINED ENV{DEBEMAIL} AND NOT "$ENV{DEBEMAIL}" STREQUAL "")
  set(quillet_default_contact "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  set(quillet_default_contact "The Quillet developers <quillet@users.noreply.github.com>")
endif()
set(QUILLET_PACKAGE_CONTACT "${quillet_default_contact}" CACHE STRING
    "Maintainer of the Debian package, as \"Name <address>\"")
set(CPACK_PACKAGE_CONTACT ${QUILLET_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop diary of dated entries with color tags")
# Debian wants the long description in lines of under 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Quillet keeps a diary of dated entries, each with a color tag, browsed by"
  "month, year and color and searched across all months, optionally locked"
  "behind a four-digit passcode and exported to text."
  "The package holds two editions: Quillet2, and Wrenfold with the eco theme;"
  "each keeps a diary of its own.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${QUILLET_SOURCE_URL})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libzip is opened by name when a Day One archive is imported, so shlibdeps does not see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libzip4")
# The editor's default font is Helvetica, which fontconfig draws in a
# metric-compatible sans when one is installed.
# qt6-wayland: a native window on a GNOME or KDE Wayland session, not XWayland.
# qt6-translations-l10n: stock dialog buttons in the user's language (the diary's own
# catalogues are built in).
# A dictionary for spell checking (libenchant-2-2 itself comes from shlibdeps).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-urw-base35 | fonts-liberation2, fonts-dejavu-core, qt6-wayland, qt6-translations-l10n, hunspell-en-us | hunspell-dictionary")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillet RENAME copyright)
# Debian wants the changelog beside the copyright, in its own form, compressed
# reproducibly; the release's date is the project's, not the build's.
execute_process(COMMAND date -u -R -d "${QUILLET_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE quillet_release_rfc2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
                   COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/CHANGELOG.md
                           -DOUT=${PROJECT_BINARY_DIR}/changelog -DVERSION=${PROJECT_VERSION}
                           "-DMAINTAINER=${QUILLET_PACKAGE_CONTACT}"
                           "-DDATE=${quillet_release_rfc2822}"
                           -P ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
                   COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/changelog
                   DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                           ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillet)
include(CPack)
