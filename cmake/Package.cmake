# The Debian package, made with `cpack -G DEB` in a build directory configured with
# -DVEDAD_STATIC_GD=ON: the package links libgd's static archive from libgd-dev, as the source
# build does, so that a run does not load the shared libgd's 50 libraries and their start-up
# code (a one-line run cost 6.6 times the instructions with them). The price is that a libgd
# security fix reaches the package only when it is built again; the control file's Built-Using
# field names the libgd source package and version it was built with, which is how Debian
# tracks such packages. It installs under /usr, depends on what dpkg-shlibdeps finds for the
# binary, on the font package whose FreeMono stands in for the default font "Courier" and on
# fontconfig, through which vedad finds it, and on HarfBuzz and libwebp, which vedad loads
# itself when it first shapes a cluster or writes a WebP (so dpkg-shlibdeps cannot see them);
# it needs no maintainer scripts.
# packaging/debian-layout.cmake brings the staged files into Debian's layout before they
# are packed.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the vedad developers")
set(CPACK_PACKAGE_CONTACT "the vedad developers <bugs@vedad.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vedad.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn text into PNG images")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"vedad draws plain text, or per-character coloured span HTML as
terminal-to-HTML converters emit, into PNG pictures with libgd and FreeType.
It writes one picture per input file, cut down to the drawn text, and never
overwrites an existing file unless asked.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps adds the libraries to this list. HarfBuzz and libwebp are loaded when first
# used, so it cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-freefont-ttf, fontconfig, libharfbuzz0b, libwebp7, libwebpmux3")
# The completion script does nothing without bash-completion.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)

set(VEDAD_MAINTAINER_SCRIPT_DIR ${PROJECT_BINARY_DIR}/packaging)

# The Debian changelog and the machine-readable copyright file, made from the project's
# version and LICENSE so that neither can fall behind. The changelog's date honours
# SOURCE_DATE_EPOCH.
set(VEDAD_DEBIAN_VERSION ${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
string(TIMESTAMP VEDAD_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE VEDAD_COPYRIGHT_LINE REGEX "^Copyright " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright (\\(c\\) )?" "" VEDAD_COPYRIGHT "${VEDAD_COPYRIGHT_LINE}")
# The licence paragraph: the text from "Permission" on, each line indented by one space and
# an empty line written as " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE VEDAD_LICENSE_TEXT)
string(FIND "${VEDAD_LICENSE_TEXT}" "Permission" VEDAD_LICENSE_START)
if(NOT VEDAD_COPYRIGHT OR VEDAD_LICENSE_START LESS 0)
  message(FATAL_ERROR "LICENSE has no Copyright line or no licence text starting with \"Permission\"")
endif()
string(SUBSTRING "${VEDAD_LICENSE_TEXT}" ${VEDAD_LICENSE_START} -1 VEDAD_LICENSE_TEXT)
string(STRIP "${VEDAD_LICENSE_TEXT}" VEDAD_LICENSE_TEXT)
string(REGEX REPLACE "\n\n" "\n.\n" VEDAD_LICENSE_TEXT "${VEDAD_LICENSE_TEXT}")
string(REPLACE "\n" "\n " VEDAD_LICENSE_TEXT " ${VEDAD_LICENSE_TEXT}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.Debian.in
  ${VEDAD_MAINTAINER_SCRIPT_DIR}/changelog.Debian @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${VEDAD_MAINTAINER_SCRIPT_DIR}/copyright @ONLY)

# What the layout script needs to know; CPack hands every CPACK_ variable on to it.
set(CPACK_VEDAD_DEBIAN_DIR ${VEDAD_MAINTAINER_SCRIPT_DIR})
set(CPACK_VEDAD_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_VEDAD_STATIC_GD ${VEDAD_STATIC_GD})
# The source package and version of a static archive linked in, as "libgd2 (= 2.3.3-9)":
# empty when dpkg does not know the archive.
function(vedad_archive_source archive result)
  set(source "")
  if(archive MATCHES "\\.a$")
    execute_process(COMMAND dpkg-query --search ${archive} OUTPUT_VARIABLE owner RESULT_VARIABLE search
      ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    string(REGEX REPLACE ":.*" "" owner "${owner}")
    if(search EQUAL 0 AND owner)
      execute_process(COMMAND dpkg-query --show "--showformat=\${source:Package} (= \${source:Version})" ${owner}
        OUTPUT_VARIABLE source ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    endif()
  endif()
  set(${result} "${source}" PARENT_SCOPE)
endfunction()
# libgd's (without it the package cannot be made, see below), then libdeflate's and
# libunistring's, which are linked from their archives too.
set(VEDAD_GD_BUILT_USING "")
if(VEDAD_STATIC_GD AND VEDAD_GD_ARCHIVE)
  vedad_archive_source(${VEDAD_GD_ARCHIVE} VEDAD_GD_BUILT_USING)
endif()
set(VEDAD_BUILT_USING "${VEDAD_GD_BUILT_USING}")
foreach(archive IN ITEMS ${VEDAD_DEFLATE_ARCHIVE} ${UNISTRING_LINKED})
  vedad_archive_source(${archive} source)
  if(source AND VEDAD_BUILT_USING)
    string(APPEND VEDAD_BUILT_USING ", ${source}")
  endif()
endforeach()
set(CPACK_VEDAD_GD_BUILT_USING "${VEDAD_GD_BUILT_USING}")
set(CPACK_VEDAD_BUILT_USING "${VEDAD_BUILT_USING}")
# CPack writes no Built-Using field; the package is opened and packed again with it.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/built-using.cmake)
set(CPACK_VEDAD_MANDIR ${CMAKE_INSTALL_MANDIR})
set(CPACK_VEDAD_DOCDIR ${CMAKE_INSTALL_DOCDIR})
set(CPACK_VEDAD_BINDIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_VEDAD_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/debian-layout.cmake)

include(CPack)
