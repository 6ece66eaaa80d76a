# Read by cpack when it makes the package.  The libraries in our private
# folder have no version in their sonames, as they are loaded by those names;
# CPack warns about each when it writes the shlibs file of libPixvane.
set(CMAKE_SUPPRESS_DEVELOPER_WARNINGS ON CACHE INTERNAL "")
