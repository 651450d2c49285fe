# Cross-building for 64-bit big-endian IBM Z Linux with Debian's g++-s390x-linux-gnu: the hosted
# programs, tested under qemu-s390x.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(automata_triple s390x-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
