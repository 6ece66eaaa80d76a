# libPixvane as a public library for other programs: the library, its C
# header (the binding header the interface uses, as pixvane.h), a
# pkg-config file and a CMake package giving Pixvane::Pixvane.
#
# The soname counts breaks of the C ABI, not releases: a new release of the
# project that keeps the two calls and ConversionInfo as they are leaves
# programs built against libPixvane.so.1 running.  The file name carries the
# release.
set_target_properties(Pixvane PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION 1)
install(TARGETS Pixvane EXPORT PixvaneTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${HACQ_BINDINGS}/conversion.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  RENAME pixvane.h)

configure_file(${CMAKE_CURRENT_LIST_DIR}/pixvane.pc.in ${CMAKE_CURRENT_BINARY_DIR}/pixvane.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/pixvane.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

include(CMakePackageConfigHelpers)
set(_pixvane_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Pixvane)
install(EXPORT PixvaneTargets NAMESPACE Pixvane:: DESTINATION ${_pixvane_cmake_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/PixvaneConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/PixvaneConfig.cmake INSTALL_DESTINATION ${_pixvane_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/PixvaneConfigVersion.cmake
  COMPATIBILITY AnyNewerVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/PixvaneConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/PixvaneConfigVersion.cmake DESTINATION ${_pixvane_cmake_dir})
