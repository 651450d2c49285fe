# Which architecture the programs are for (its row in Architectures.cmake), which platform layer
# they stand on, and the flags that all of our code is built with.

# A row of Architectures.cmake: if CMAKE_SYSTEM_PROCESSOR is one of its names, its values become
# AUTOMATA_ARCHITECTURE, AUTOMATA_DEBIAN_ARCHITECTURE, AUTOMATA_WINDOWS,
# AUTOMATA_COMMAND_LINE_REGISTER and AUTOMATA_EMULATOR.
function(automata_architecture name)
  cmake_parse_arguments(PARSE_ARGV 1 row "" "DEBIAN;WINDOWS;REGISTER;EMULATOR" "ALSO")
  if(row_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "architecture ${name}: what is ${row_UNPARSED_ARGUMENTS}?")
  endif()
  string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" processor)
  if(NOT processor IN_LIST row_ALSO AND NOT processor STREQUAL name)
    return()
  endif()
  set(AUTOMATA_ARCHITECTURE ${name} PARENT_SCOPE)
  set(AUTOMATA_DEBIAN_ARCHITECTURE ${row_DEBIAN} PARENT_SCOPE)
  set(AUTOMATA_WINDOWS ${row_WINDOWS} PARENT_SCOPE)
  set(AUTOMATA_COMMAND_LINE_REGISTER ${row_REGISTER} PARENT_SCOPE)
  set(AUTOMATA_EMULATOR ${row_EMULATOR} PARENT_SCOPE)
endfunction()
include(${CMAKE_CURRENT_LIST_DIR}/Architectures.cmake)
message(STATUS "Architecture: ${CMAKE_SYSTEM_PROCESSOR} (${AUTOMATA_ARCHITECTURE})")

# Linux programs cross-built with a toolchain that names the target's libraries (ours do:
# cmake/linux-cross.cmake) run their tests under the architecture's emulator, pointed at them.
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_NAME STREQUAL "Linux" AND AUTOMATA_EMULATOR
   AND CMAKE_FIND_ROOT_PATH AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  list(GET CMAKE_FIND_ROOT_PATH 0 sysroot)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${AUTOMATA_EMULATOR} -L ${sysroot})
endif()

# The libc-free layer keeps the command line in a register that no file of a program may use for
# anything else, and joins it on the stack with every page probed; a compiler that cannot do both
# (Clang, on most machines) gets the hosted layer.
include(CheckCXXSourceCompiles)
set(AUTOMATA_PLATFORM "" CACHE STRING "Platform layer of the programs: linux, posix or win32")
if(NOT AUTOMATA_PLATFORM)
  if(WIN32)
    set(AUTOMATA_PLATFORM win32)
  elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND AUTOMATA_COMMAND_LINE_REGISTER)
    set(CMAKE_REQUIRED_FLAGS
        "-ffixed-${AUTOMATA_COMMAND_LINE_REGISTER} -fstack-clash-protection -Werror")
    check_cxx_source_compiles([[
      register char* line asm("${AUTOMATA_COMMAND_LINE_REGISTER}");
      int main() { return line != nullptr; }]] AUTOMATA_CAN_RESERVE_REGISTER)
    unset(CMAKE_REQUIRED_FLAGS)
    if(AUTOMATA_CAN_RESERVE_REGISTER)
      set(AUTOMATA_PLATFORM linux)
    else()
      message(STATUS "The hosted layer: ${CMAKE_CXX_COMPILER_ID} cannot reserve "
                     "${AUTOMATA_COMMAND_LINE_REGISTER} and probe the stack for the libc-free one")
      set(AUTOMATA_PLATFORM posix)
    endif()
  else()
    set(AUTOMATA_PLATFORM posix)
  endif()
endif()
message(STATUS "Platform layer: ${AUTOMATA_PLATFORM}")
if(AUTOMATA_PLATFORM STREQUAL "win32" AND NOT AUTOMATA_WINDOWS)
  message(FATAL_ERROR "no Windows build for ${CMAKE_SYSTEM_PROCESSOR}")
endif()

# Everything we write: C++17, warnings are errors, and includes name the folder ("driver/driver.h")
# from AUTOMATA_ROOT, the folder that holds driver/, platform/ and recognizers/.
add_library(automata_code INTERFACE)
target_compile_features(automata_code INTERFACE cxx_std_17)
target_compile_options(automata_code INTERFACE -Wall -Wextra -Werror)
target_include_directories(automata_code INTERFACE ${AUTOMATA_ROOT})
