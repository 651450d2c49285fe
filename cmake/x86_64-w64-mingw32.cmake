# Cross-building x64 Windows console programs with Debian's mingw-w64 (g++-mingw-w64-x86-64).
# The tests run them in an emulated Windows, and under wine64 where it runs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(automata_triple x86_64-w64-mingw32)
set(automata_package g++-mingw-w64-x86-64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)
