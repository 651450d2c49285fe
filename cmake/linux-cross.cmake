# What every cross build for Linux shares, included by each architecture's toolchain file after
# it sets CMAKE_SYSTEM_PROCESSOR, the GNU triple of Debian's cross compiler (automata_triple) and
# the qemu-user emulator every test runs under (automata_emulator). -L points the emulator at the
# target's C library for the test programs, which are linked against it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${automata_triple}-gcc)
set(CMAKE_CXX_COMPILER ${automata_triple}-g++)
set(CMAKE_CROSSCOMPILING_EMULATOR ${automata_emulator} -L /usr/${automata_triple})

set(CMAKE_FIND_ROOT_PATH /usr/${automata_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
