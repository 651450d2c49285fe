# Cross-building for 64-bit Arm Linux with Debian's g++-aarch64-linux-gnu, tested under qemu-aarch64.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(automata_triple aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
