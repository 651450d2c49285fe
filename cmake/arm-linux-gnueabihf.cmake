# Cross-building for 32-bit Arm (EABI, hard float) Linux with Debian's g++-arm-linux-gnueabihf, tested under qemu-arm.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(automata_triple arm-linux-gnueabihf)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
