# The Debian package, made with `cpack -G DEB` in a build directory. The package installs
# under /usr, depends on what dpkg-shlibdeps finds for the binary and on the font package
# whose FreeMono stands in for the default font "Courier"; its maintainer scripts make that
# font resolvable on installation and undo it on removal.

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
set(CPACK_DEBIAN_PACKAGE_SUGGESTS bash-completion)

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

include(CPack)
