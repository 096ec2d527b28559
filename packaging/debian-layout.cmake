# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the files staged for the Debian package, before
# they are packed: brings them into Debian's layout without changing what `cmake --install`
# puts on a machine. The manual page and the changelog are compressed with `gzip -9n`, the
# licence goes into the machine-readable copyright file instead of a file of its own, and
# the binary loses the compilers' .comment notes, and lintian is told which of its tags do
# not apply (packaging/lintian-overrides).

if(NOT CPACK_VEDAD_STATIC_GD)
  message(FATAL_ERROR "The Debian package links libgd's static archive: configure the build with -DVEDAD_STATIC_GD=ON")
endif()
if(NOT CPACK_VEDAD_GD_BUILT_USING)
  message(FATAL_ERROR "dpkg does not know the libgd archive linked in, so the package cannot name it in "
    "Built-Using: link the libgd.a of Debian's libgd-dev")
endif()

set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
if(NOT EXISTS ${root}/${CPACK_VEDAD_BINDIR}/vedad)
  message(FATAL_ERROR "No staged vedad in ${root}/${CPACK_VEDAD_BINDIR}")
endif()

# gzip -9n: the best compression, and no name or time stamp, so the same file packs the same.
function(vedad_gzip source target)
  execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${target} COMMAND_ERROR_IS_FATAL ANY)
  file(CHMOD ${target} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()

set(man_page ${root}/${CPACK_VEDAD_MANDIR}/man1/vedad.1)
vedad_gzip(${man_page} ${man_page}.gz)
file(REMOVE ${man_page})

set(doc ${root}/${CPACK_VEDAD_DOCDIR})
file(REMOVE ${doc}/LICENSE)
vedad_gzip(${CPACK_VEDAD_DEBIAN_DIR}/changelog.Debian ${doc}/changelog.Debian.gz)
file(COPY_FILE ${CPACK_VEDAD_DEBIAN_DIR}/copyright ${doc}/copyright)
file(CHMOD ${doc}/copyright PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(overrides ${root}/share/lintian/overrides)
file(MAKE_DIRECTORY ${overrides})
file(COPY_FILE ${CPACK_VEDAD_SOURCE_DIR}/packaging/lintian-overrides ${overrides}/vedad)
file(CHMOD ${overrides}/vedad PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

execute_process(COMMAND ${CPACK_VEDAD_OBJCOPY} --remove-section=.comment ${root}/${CPACK_VEDAD_BINDIR}/vedad
  COMMAND_ERROR_IS_FATAL ANY)
