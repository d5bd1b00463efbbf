# The Debian package, made by CPack (./scripts/package.sh): the program, the
# catalogue tool, the launcher, the help file, the icons, the desktop entry, the
# AppStream metadata and the manual pages, with the dependencies that
# dpkg-shlibdeps finds in the binaries plus the Qt plugins they load at run time.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessarine)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tessarine developers")
set(CPACK_PACKAGE_CONTACT "The Tessarine developers <developers@tessarine.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of a postage stamp collection")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tessarine_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tessarine.org")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessarine keeps the catalogue of a postage stamp collection: every stamp
with its description, catalogue number, country, type, format, paper,
cancellation, perforation, topic, gum and condition, dates, prices,
quantity and notes, in one SQLite file.
.
It browses, sorts, finds and edits the stamps, keeps the lists of
descriptions, and makes reports of sales, collection value, the want list,
stamps by country, type, format or topic, and custom reports, to a paged
preview that can be printed or saved as a PDF, to a text file or to a web
page.")

# The libraries the binaries link, found by dpkg-shlibdeps (Qt Widgets, Print
# Support, Gui, Core, SQLite, and whatever else a later build links, such as
# Qt Charts), and what Qt loads as plugins, which no binary names: the image
# formats beyond those of Qt Gui (stamp images) and SVG (pictures and charts).
# The X11 platform plugin comes with libqt6gui6 on Debian 12.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins, libqt6svg6")
# Native windows on a Wayland desktop; without it Qt runs through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")

include(CPack)
