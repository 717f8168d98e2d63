# The Debian package: `cpack -G DEB` in a build tree makes tessarin_VERSION_ARCH.deb of the
# whole install tree. Library dependencies come from dpkg-shlibdeps; the one listed here is
# found at run time, where dpkg-shlibdeps cannot see it: a font to draw the letters with.
set(CPACK_PACKAGE_NAME tessarin)
set(CPACK_PACKAGE_VENDOR "Zorvik Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "word game for one to three players over the network")
# Lines within 80 columns, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Players take turns placing letter tiles in six rows; after every\n\
placement the game finds every word that the row's newest letters form\n\
and scores their length. Solo games against the computer, games over\n\
the network, and a headless server.")
set(CPACK_PACKAGE_CONTACT "Zorvik Software <games@zorviksoftware.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.zorviksoftware.com/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The first packaging of this version: 1.0.1-1, its changelog.Debian.gz beside copyright.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-core)
include(CPack)
