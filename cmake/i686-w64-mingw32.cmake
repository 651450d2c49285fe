# Cross-building 32-bit Windows console programs with Debian's mingw-w64 (g++-mingw-w64-i686).
# The tests run them in an emulated Windows, and under Wine where it runs.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(automata_triple i686-w64-mingw32)
set(automata_package g++-mingw-w64-i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)
