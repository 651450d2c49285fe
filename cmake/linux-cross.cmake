# What every cross build for Linux shares, included by each architecture's toolchain file after
# it sets CMAKE_SYSTEM_PROCESSOR and the GNU triple of Debian's cross compiler (automata_triple).
# The tests run under the emulator that the architecture's row names (cmake/Architectures.cmake),
# pointed at the target's C library here.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${automata_triple}-gcc)
set(CMAKE_CXX_COMPILER ${automata_triple}-g++)
set(automata_package g++-${automata_triple})

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
