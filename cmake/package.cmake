# `cpack -G DEB` in the build folder makes lanzhou_<version>_<arch>.deb from
# what `cmake --install` puts in place. Its dependencies come from the
# libraries the programs link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lanzhou)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "澜舟")
set(CPACK_PACKAGE_CONTACT "澜舟 <lanzhou@lanzhou.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "turns a picture or a program's icon into an ICO, PNG or JPEG file")
set(CPACK_PACKAGE_DESCRIPTION
    "澜舟 (Lanzhou) is a small desktop tool: drop a picture, a Windows program or a
shortcut on its window, tick a format and a size, and save an ICO, PNG or
JPEG file at the picture's own size or as a 32, 64 or 128 pixel square.
The command imgconv converts JPEG, BMP, TIFF, PNG, PCX and Photo CD pictures
into PNG or JPEG from a shell.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's labels are Chinese: without a CJK font they show as boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-zenhei")
include(CPack)
