# Run by CPack (CPACK_POST_BUILD_SCRIPTS) on the package it has made: adds the Built-Using
# field that names the source packages whose static archives are linked in, after the
# Depends field, and packs the package again. CPack has no setting for the field.

find_program(dpkg_deb dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  set(unpacked ${package}.unpacked)
  file(REMOVE_RECURSE ${unpacked})
  execute_process(COMMAND ${dpkg_deb} --raw-extract ${package} ${unpacked} COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${unpacked}/DEBIAN/control control)
  if(NOT control MATCHES "\nBuilt-Using:")
    string(REGEX REPLACE "(\nDepends: [^\n]*\n)" "\\1Built-Using: ${CPACK_VEDAD_BUILT_USING}\n" with_field
      "${control}")
    if(with_field STREQUAL control)
      message(FATAL_ERROR "${package} has no Depends field to put Built-Using after")
    endif()
    file(WRITE ${unpacked}/DEBIAN/control "${with_field}")
  endif()
  execute_process(COMMAND ${dpkg_deb} --root-owner-group -Zgzip --build ${unpacked} ${package}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${unpacked})
endforeach()
