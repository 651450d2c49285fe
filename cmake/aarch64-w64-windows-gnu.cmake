# Cross-building ARM64 Windows console programs with Debian's clang and lld. Debian has no ARM64
# mingw-w64, and the programs need none of it: no headers, no C runtime; kernel32's import
# library is made at build time (platform/win32). The tests run them in an emulated Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(automata_package clang)

# A toolchain that is not installed stops here, in one line that names the package that brings it.
find_program(automata_compiler ${CMAKE_CXX_COMPILER} NO_CACHE)
if(NOT automata_compiler)
  message(FATAL_ERROR "${CMAKE_CXX_COMPILER} is not installed (Debian's ${automata_package})")
endif()
set(CMAKE_C_COMPILER_TARGET aarch64-w64-windows-gnu)
set(CMAKE_CXX_COMPILER_TARGET aarch64-w64-windows-gnu)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fuse-ld=lld)
# No C runtime to link a test program against: the compiler checks build a library instead.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# Nor the default list of Windows libraries, which only mingw-w64 would have: the programs name
# the one library they link, kernel32.
set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "")
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "")
