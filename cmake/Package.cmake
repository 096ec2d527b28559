# The Debian package, made with `cpack -G DEB` in a build directory configured with
# -DVEDAD_STATIC_GD=OFF: the package uses Debian's shared libgd, so that libgd's security
# updates reach it. It installs under /usr, depends on what dpkg-shlibdeps finds for the
# binary and on the font package whose FreeMono stands in for the default font "Courier";
# its maintainer scripts make that font resolvable on installation and undo it on removal.
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
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-freefont-ttf)
# The completion script does nothing without bash-completion.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)

# The maintainer scripts take the font paths from scripts/lib.sh, as the registration script
# does, so that the two cannot disagree about which link is the package's.
file(STRINGS ${PROJECT_SOURCE_DIR}/scripts/lib.sh VEDAD_FONT_SETTINGS
  REGEX "^(freemono|courier_link)=")
foreach(setting IN LISTS VEDAD_FONT_SETTINGS)
  if(setting MATCHES "^freemono=(.+)$")
    set(VEDAD_FREEMONO_PATH ${CMAKE_MATCH_1})
  elseif(setting MATCHES "^courier_link=(.+)$")
    set(VEDAD_FONT_LINK ${CMAKE_MATCH_1})
  endif()
endforeach()
if(NOT VEDAD_FREEMONO_PATH OR NOT VEDAD_FONT_LINK)
  message(FATAL_ERROR "scripts/lib.sh names no freemono= or courier_link= path")
endif()
set(VEDAD_REGISTER_FONT_SCRIPT
  ${CPACK_PACKAGING_INSTALL_PREFIX}/${VEDAD_INSTALL_HELPERDIR}/register-default-font.sh)

set(VEDAD_MAINTAINER_SCRIPT_DIR ${PROJECT_BINARY_DIR}/packaging)
foreach(script postinst postrm)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${script}.in ${VEDAD_MAINTAINER_SCRIPT_DIR}/${script}
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${VEDAD_MAINTAINER_SCRIPT_DIR}/postinst ${VEDAD_MAINTAINER_SCRIPT_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

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
