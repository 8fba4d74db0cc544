# The desktop entry with its icon, and the Debian package (cpack -G DEB).
# The programs install themselves from src/app and src/cli.

if(TARGET ostrel)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/ostrel.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/src/ui/res/icon.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps
          RENAME ostrel.png)
endif()

set(CPACK_PACKAGE_NAME ostrel)
set(CPACK_PACKAGE_VENDOR Lumbrack)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "京东商品图片批量下载助手: bulk download of the pictures of JD product pages")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lumbrack Ostrel developers <ostrel@lumbrack.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Qt 6, libcurl and zlib come from the programs' own libraries; the window's
# Chinese texts need a CJK font that nothing else pulls in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins")
include(CPack)
