# Where an installation puts our files.  hacq and the public conversion
# library go where programs and libraries go; the interface, the host layer
# and the camera SDKs go to a folder of their own, so that their names
# (libhalcon.so, libTervixmd.so) never shadow another product's libraries.
# Every installed file finds ours through a run path relative to itself, so
# nothing needs LD_LIBRARY_PATH; in the build folder all of them sit side by
# side in bin/ and find each other through $ORIGIN alone, as before.
include(GNUInstallDirs)
set(HACQ_INSTALL_PRIVATE_DIR ${CMAKE_INSTALL_LIBDIR}/hacqombrix)
set(HACQ_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/hacqombrix)

# Installs `target` to DESTINATION (relative to the prefix) with a run path
# to each installed folder in FINDS.  Windows has no run paths; its build is
# not installed.
function(hacq_install target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESTINATION" "FINDS")
  if(WIN32)
    return()
  endif()
  # $ORIGIN first, which finds everything in the build folder, where the
  # file is built with this run path and installed as it is.  (A run path
  # that differs there would be written in place into room CMake makes with
  # empty entries, and the loader reads an empty entry as the working
  # directory.)
  set(origin_paths "$ORIGIN")
  foreach(folder ${arg_FINDS})
    file(RELATIVE_PATH relative /${arg_DESTINATION} /${folder})
    if(NOT relative STREQUAL "")
      list(APPEND origin_paths "$ORIGIN/${relative}")
    endif()
  endforeach()
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "${origin_paths}")
  install(TARGETS ${target} RUNTIME DESTINATION ${arg_DESTINATION}
    LIBRARY DESTINATION ${arg_DESTINATION})
endfunction()
