# Cross-building for 32-bit x86 Linux with Debian's g++-i686-linux-gnu, tested under qemu-i386.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(automata_triple i686-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
