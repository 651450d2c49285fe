# What the mingw-w64 Windows builds share, included by each toolchain file after it sets
# CMAKE_SYSTEM_PROCESSOR, the GNU triple of Debian's mingw-w64 compiler (automata_triple) and its
# package (automata_package).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${automata_triple}-gcc)
set(CMAKE_CXX_COMPILER ${automata_triple}-g++)
set(CMAKE_RC_COMPILER ${automata_triple}-windres)

# A toolchain that is not installed stops here, in one line that names the package that brings it.
find_program(automata_compiler ${CMAKE_CXX_COMPILER} NO_CACHE)
if(NOT automata_compiler)
  message(FATAL_ERROR "${CMAKE_CXX_COMPILER} is not installed (Debian's ${automata_package})")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${automata_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
