# Installing and packaging: the programs in bin/; on POSIX systems one manual page that serves all
# three, the copyright and the changelog; a Debian package from a Linux build (cpack -G DEB), a zip
# from each Windows build (cpack -G ZIP) with the licence and a short text on using the programs
# from cmd.exe and PowerShell. The target "checksums" makes the package and writes SHA256SUMS.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME automata)
if(AUTOMATA_PLATFORM STREQUAL "win32")
  install(FILES platform/win32/README.txt DESTINATION .)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${AUTOMATA_WINDOWS})
  set(CPACK_GENERATOR ZIP)
  set(package ${CPACK_PACKAGE_FILE_NAME}.zip)
else()
  # The manual pages and the changelog compressed as Debian has them: gzip -9n stores no name and
  # no time, so every build gives the same bytes. The system's own three share decimal3's page;
  # a program from a table has a page of its own.
  set(documents ${PROJECT_BINARY_DIR}/documents)
  file(MAKE_DIRECTORY ${documents})
  set(sources ${PROJECT_SOURCE_DIR}/man/decimal3.1 ${PROJECT_SOURCE_DIR}/man/automata.1
              ${PROJECT_SOURCE_DIR}/packaging/changelog)
  foreach(program IN LISTS AUTOMATA_TABLE_PROGRAMS)
    list(APPEND sources ${PROJECT_BINARY_DIR}/tables/${program}.1)
    list(APPEND pages ${documents}/${program}.1.gz)
  endforeach()
  foreach(source IN LISTS sources)
    get_filename_component(name ${source} NAME)
    add_custom_command(OUTPUT ${documents}/${name}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${documents}/${name}
      COMMAND gzip -9nf ${documents}/${name}
      DEPENDS ${source} VERBATIM)
    list(APPEND compressed ${documents}/${name}.gz)
  endforeach()
  add_custom_target(documents ALL DEPENDS ${compressed})
  foreach(program IN LISTS AUTOMATA_OWN_PROGRAMS)
    if(NOT program STREQUAL "decimal3")
      file(CREATE_LINK decimal3.1.gz ${documents}/${program}.1.gz SYMBOLIC)
    endif()
    list(APPEND pages ${documents}/${program}.1.gz)
  endforeach()
  install(FILES ${pages} ${documents}/automata.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${documents}/changelog.gz packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
  list(TRANSFORM AUTOMATA_EXAMPLES REPLACE "\\.[^.]*$" ".words" OUTPUT_VARIABLE word_lists)
  install(FILES ${AUTOMATA_EXAMPLES} ${word_lists} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

  # The compiler: the automata command and what it builds programs from, in share/automata/ as in
  # the project (compiler/, cmake/, driver/, platform/, recognizers/automaton.h, the presets), so
  # that find_package(automata) finds share/automata/cmake/automataConfig.cmake under the prefix.
  set(compiler_home ${CMAKE_INSTALL_DATADIR}/automata)
  install(PROGRAMS compiler/automata DESTINATION ${compiler_home}/compiler)
  file(GLOB compiler_modules compiler/generator/*.py)
  install(FILES ${compiler_modules} DESTINATION ${compiler_home}/compiler/generator)
  file(GLOB build_files cmake/*.cmake)
  list(REMOVE_ITEM build_files ${PROJECT_SOURCE_DIR}/cmake/Packaging.cmake)
  include(CMakePackageConfigHelpers)
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/automataConfigVersion.cmake
                                   COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
  install(FILES ${build_files} ${PROJECT_BINARY_DIR}/automataConfigVersion.cmake
          DESTINATION ${compiler_home}/cmake)
  install(FILES CMakePresets.json DESTINATION ${compiler_home})
  install(FILES driver/driver.h driver/console.h driver/driver.cpp DESTINATION ${compiler_home}/driver)
  install(FILES recognizers/automaton.h DESTINATION ${compiler_home}/recognizers)
  install(DIRECTORY platform/linux platform/posix platform/win32 DESTINATION ${compiler_home}/platform
          FILES_MATCHING PATTERN "*.cpp" PATTERN "*.h" PATTERN "*.ld" PATTERN "*.def"
                         PATTERN "*.py" PATTERN "CMakeLists.txt")
  install(PROGRAMS platform/linux/finish_program.sh DESTINATION ${compiler_home}/platform/linux)
  file(CREATE_LINK ../${compiler_home}/compiler/automata ${documents}/automata SYMBOLIC)
  install(FILES ${documents}/automata DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(AUTOMATA_PLATFORM STREQUAL "linux")
    install(FILES packaging/lintian-overrides RENAME ${CPACK_PACKAGE_NAME}
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides)
  endif()

  # A Debian package for the architecture the programs are for (never the build machine's);
  # where Debian has no name for it, or the system is not Linux, a plain archive of the same tree.
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND AUTOMATA_DEBIAN_ARCHITECTURE)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${AUTOMATA_DEBIAN_ARCHITECTURE})
    set(CPACK_GENERATOR DEB)
    set(package ${CPACK_PACKAGE_NAME}_${PROJECT_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb)
    set(CPACK_DEBIAN_FILE_NAME ${package})
  else()
    string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" system)
    set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${system})
    set(CPACK_GENERATOR TGZ)
    set(package ${CPACK_PACKAGE_FILE_NAME}.tar.gz)
  endif()
endif()

set(CPACK_PACKAGE_VENDOR "The automata maintainers")
set(CPACK_PACKAGE_CONTACT "The automata maintainers <maintainers@automata.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "decimal3, binary3, evena: yes-or-no questions about a word, by finite automata")
set(CPACK_PACKAGE_DESCRIPTION [[
Three tiny console programs, each answering one question about the word on its
command line with Yes. or No. and the exit status 1 or 0: decimal3 (a decimal
multiple of three?), binary3 (a binary multiple of three?) and evena (an even
number of the letter a?); and automata, the compiler that makes such a program,
or a C routine, of any transition table or regular expression, with a CMake
package for one's own projects.]])
# The compiler needs Python, CMake, a C++ compiler and a build tool; lld and LLVM's objcopy link
# and trim the libc-free programs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "python3, cmake, g++ | c++-compiler, make | ninja-build, lld, llvm")
set(CPACK_STRIP_FILES OFF)  # already stripped; the manual pages are text
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
include(CPack)

# cmake --build BUILD --target checksums: the package, and SHA256SUMS beside it.
add_custom_target(checksums
  COMMAND ${CMAKE_CPACK_COMMAND} --config CPackConfig.cmake
  COMMAND sha256sum ${package} > SHA256SUMS
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR})
add_dependencies(checksums ${AUTOMATA_PROGRAMS})
if(TARGET documents)
  add_dependencies(checksums documents)
endif()
