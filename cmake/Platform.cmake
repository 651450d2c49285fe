# Which platform layer the programs stand on, and the flags that all of our code is built with.

set(AUTOMATA_PLATFORM "" CACHE STRING "Platform layer of the programs: linux, posix or win32")
if(NOT AUTOMATA_PLATFORM)
  if(WIN32)
    set(AUTOMATA_PLATFORM win32)
  elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|aarch64|riscv64|arm|i686)$")
    set(AUTOMATA_PLATFORM linux)
  else()
    set(AUTOMATA_PLATFORM posix)
  endif()
endif()
message(STATUS "Platform layer: ${AUTOMATA_PLATFORM}")

# Which Windows a Windows build is for, named as its zip and its tests name it.
if(AUTOMATA_PLATFORM STREQUAL "win32")
  set(windows_x86 win32)
  set(windows_AMD64 win64)
  set(windows_ARM64 winarm64)
  set(AUTOMATA_WINDOWS ${windows_${CMAKE_SYSTEM_PROCESSOR}})
  if(NOT AUTOMATA_WINDOWS)
    message(FATAL_ERROR "no Windows build for ${CMAKE_SYSTEM_PROCESSOR}")
  endif()
endif()

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

# Everything we write: warnings are errors, and includes name the folder ("driver/driver.h").
add_library(automata_code INTERFACE)
target_compile_options(automata_code INTERFACE -Wall -Wextra -Werror)
target_include_directories(automata_code INTERFACE ${PROJECT_SOURCE_DIR})
