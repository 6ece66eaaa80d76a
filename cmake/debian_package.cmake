# One Debian package, hacqombrix, of everything `cmake --install` installs:
# `cpack` in the build folder makes it.  Its dependencies are those
# dpkg-shlibdeps finds for the programs and libraries in it.  Configure
# with -DCMAKE_INSTALL_PREFIX=/usr for a package that installs where Debian
# packages go.
set(HACQ_PACKAGE_MAINTAINER "hAcqOmbrix maintainers <maintainers@users.noreply.c-seed-73fa63e4.example>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hacqombrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Image-acquisition interface Ombrix with its tool hacq")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "The image-acquisition interface Ombrix for GenICam cameras, with the host
layer and the camera SDKs it loads (simulated cameras, and GigE Vision and
USB3 Vision cameras through Aravis), the command-line tool hacq, and the
pixel-format conversion library Pixvane with its header, pkg-config file and
CMake package.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${HACQ_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A shlibs file, so that packages of programs built against libPixvane
# depend on this one or a later one, and the ldconfig trigger for it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_options.cmake)
include(CPack)
