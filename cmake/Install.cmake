# Installation: the program, its manual page, bash completion and the documents. Paths follow
# GNUInstallDirs, relative to the install prefix.
include(GNUInstallDirs)

install(TARGETS vedad RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES man/vedad.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES completion/vedad.bash
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
  RENAME vedad)
# README.md shows the pictures of docs/gallery and links the examples they were drawn from;
# both go along so that its links hold.
install(FILES LICENSE README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/gallery DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs FILES_MATCHING PATTERN "*.png")
install(DIRECTORY examples DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
