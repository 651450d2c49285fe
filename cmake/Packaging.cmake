# Installing and packaging: the programs in bin/, and on POSIX systems one manual page that serves
# all three; a Debian package from a Linux build (cpack -G DEB), a zip from each Windows build
# (cpack -G ZIP) with a short text on using the programs from cmd.exe and PowerShell.
include(GNUInstallDirs)

if(AUTOMATA_PLATFORM STREQUAL "win32")
  install(FILES platform/win32/README.txt DESTINATION .)
else()
  install(FILES man/decimal3.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  foreach(program IN ITEMS binary3 evena)
    file(WRITE ${PROJECT_BINARY_DIR}/man/${program}.1 ".so man1/decimal3.1\n")
    install(FILES ${PROJECT_BINARY_DIR}/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
endif()

set(CPACK_PACKAGE_NAME automata)
set(CPACK_PACKAGE_VENDOR "The automata maintainers")
set(CPACK_PACKAGE_CONTACT "The automata maintainers <maintainers@automata.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "decimal3, binary3, evena: yes-or-no questions about a word, by finite automata")
set(CPACK_PACKAGE_DESCRIPTION [[
Three tiny console programs, each answering one question about the word on its
command line with Yes. or No. and the exit status 1 or 0: decimal3 (a decimal
multiple of three?), binary3 (a binary multiple of three?) and evena (an even
number of the letter a?).]])
set(CPACK_STRIP_FILES OFF)  # already stripped; the manual pages are text

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

if(AUTOMATA_PLATFORM STREQUAL "win32")
  # win32, win64 or winarm64, after the Windows the programs are for.
  set(windows_x86 win32)
  set(windows_AMD64 win64)
  set(windows_ARM64 winarm64)
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${windows_${CMAKE_SYSTEM_PROCESSOR}})
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
endif()
include(CPack)
