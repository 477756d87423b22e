# The Debian package: "cpack -G DEB" in the build folder, or "bash scripts/package.sh".
# Dependencies are those dpkg-shlibdeps finds in the two programs, plus the tools Corvanta
# and the association call at run time: the desktop opener and the shared MIME database.
set(CPACK_PACKAGE_NAME corvanta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Corvanta")
set(CPACK_PACKAGE_CONTACT "Corvanta Maintainers <maintainers@corvanta.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop catalog of media files")
set(CPACK_PACKAGE_DESCRIPTION
    "Corvanta finds the pictures, music and video files in a folder or on a drive and lets you
file them into a tree of categories of your own, attach keywords to them and find them again
by name, keyword or date. Catalogs are plain text .kvd files; the catalogued files themselves
are never changed. Pelmarsh, included, registers .kvd files with the desktop for one user.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, shared-mime-info")
# Outside a full desktop xdg-open knows a file's type by its extension only through mimetype;
# the file list's type icons come from an icon theme; more picture formats preview with Qt's
# extra image plugins.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "libfile-mimeinfo-perl, hicolor-icon-theme, desktop-file-utils, adwaita-icon-theme, qt6-image-formats-plugins, ffmpegthumbnailer")
set(CPACK_GENERATOR DEB)

include(CPack)
