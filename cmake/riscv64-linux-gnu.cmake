# Cross-building for 64-bit RISC-V Linux with Debian's g++-riscv64-linux-gnu, tested under qemu-riscv64.
set(CMAKE_SYSTEM_PROCESSOR riscv64)
set(automata_triple riscv64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
