# How libgd is linked. The shared libgd of a distribution is built with every image format it
# knows (JPEG, TIFF, WebP, HEIF, AVIF, XPM, ...) and pulls in some 50 shared libraries, whose
# loading and start-up code take a good share of a short run. vedad needs only libgd's
# true-colour images, FreeType text and PNG output, so when libgd's static archive is there
# (Debian's libgd-dev ships it) the archive is linked in and only what those parts of it use
# (libpng, zlib, FreeType, fontconfig) is linked dynamically. The drawing code is the same
# libgd either way, so the pictures are the same.
#
# Defines the imported target Vedad::gd. Expects pkg_check_modules(GD ... gdlib) to have run.

find_library(VEDAD_GD_ARCHIVE NAMES libgd.a HINTS ${GD_LIBDIR} ${GD_LIBRARY_DIRS}
  DOC "libgd's static archive")
if(VEDAD_GD_ARCHIVE)
  set(vedad_static_gd_default ON)
else()
  set(vedad_static_gd_default OFF)
endif()
option(VEDAD_STATIC_GD "Link libgd's static archive (its dependencies stay shared)" ${vedad_static_gd_default})

add_library(Vedad::gd INTERFACE IMPORTED)
if(VEDAD_STATIC_GD)
  if(NOT VEDAD_GD_ARCHIVE)
    message(FATAL_ERROR "VEDAD_STATIC_GD is ON but libgd.a was not found; set VEDAD_GD_ARCHIVE or turn the option off")
  endif()
  # What the archive's image, FreeType and PNG code call; the other image formats' code is
  # never pulled out of the archive, so their libraries are not needed.
  pkg_check_modules(VEDAD_GD_DEPS REQUIRED IMPORTED_TARGET libpng zlib freetype2 fontconfig)
  target_include_directories(Vedad::gd INTERFACE ${GD_INCLUDE_DIRS})
  target_link_libraries(Vedad::gd INTERFACE ${VEDAD_GD_ARCHIVE} PkgConfig::VEDAD_GD_DEPS m)
  message(STATUS "libgd: static, ${VEDAD_GD_ARCHIVE}")
else()
  target_link_libraries(Vedad::gd INTERFACE PkgConfig::GD)
  message(STATUS "libgd: shared")
endif()

# The C++ runtime, likewise: vedad uses little of it (allocation and the exceptions the
# standard containers may throw), but loading the shared libstdc++ and running its start-up
# code costs about a megabyte of memory and a share of a short run. Linked statically, only
# the parts used come along. Only the program takes it (Vedad::static_runtime); the
# sanitizers bring their own runtime and keep the shared one.
option(VEDAD_STATIC_CXX_RUNTIME "Link the C++ runtime (libstdc++, libgcc) into vedad statically" ON)
add_library(Vedad::static_runtime INTERFACE IMPORTED)
if(VEDAD_STATIC_CXX_RUNTIME AND NOT VEDAD_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_link_options(Vedad::static_runtime INTERFACE -static-libstdc++ -static-libgcc)
endif()
