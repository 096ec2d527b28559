# The Debian package, made with `cpack -G DEB` in a build directory configured with
# -DVEDAD_STATIC_GD=OFF: the package uses Debian's shared libgd, so that libgd's security
# updates reach it. It installs under /usr, depends on what dpkg-shlibdeps finds for the
# binary, on the font package whose FreeMono stands in for the default font "Courier" and on
# fontconfig, through which vedad finds it, and on HarfBuzz, which vedad loads itself when it
# first shapes a cluster (so dpkg-shlibdeps cannot see it); it needs no maintainer scripts.
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
# dpkg-shlibdeps adds the libraries to this list.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-freefont-ttf, fontconfig, libharfbuzz0b")
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
set(CPACK_VEDAD_MANDIR ${CMAKE_INSTALL_MANDIR})
set(CPACK_VEDAD_DOCDIR ${CMAKE_INSTALL_DOCDIR})
set(CPACK_VEDAD_BINDIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_VEDAD_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/debian-layout.cmake)

include(CPack)
