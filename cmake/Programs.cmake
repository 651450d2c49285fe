# A program is the driver, one recognizer and the platform layer: the targets automata_driver and
# automata_platform, made here, and automata_program() joins them. The project, the automata
# command and the installed CMake package all build programs through this file.

include(CheckCXXCompilerFlag)

# How the programs themselves are compiled: small (a section per function, so that the link drops
# one inlined everywhere), no exceptions, RTTI or unwind tables, and no calls into a library the
# compiler assumes (a loop that copies or counts must stay a loop).
# Smallest is GCC's -Os and Clang's -Oz: Clang's -Os turns a state's run of byte comparisons into
# a balanced tree of twice as many (on ARM64, 1,264 bytes of code for a 10-state table over 10
# digits, against 896 at -Oz).
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(smallest -Oz)
else()
  set(smallest -Os)
endif()
set(AUTOMATA_PROGRAM_OPTIMIZATION ${smallest} CACHE STRING
    "How the programs are optimised: -Os (-Oz with Clang), -O2, -O0 (coverage), with -fno-omit-frame-pointer or not")
separate_arguments(optimization UNIX_COMMAND "${AUTOMATA_PROGRAM_OPTIMIZATION}")
add_library(automata_program_flags INTERFACE)
target_compile_options(automata_program_flags INTERFACE
  ${optimization} -ffunction-sections -fno-exceptions -fno-rtti
  -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-jump-tables)
check_cxx_compiler_flag(-fno-tree-loop-distribute-patterns AUTOMATA_HAVE_NO_LOOP_PATTERNS)
if(AUTOMATA_HAVE_NO_LOOP_PATTERNS)
  target_compile_options(automata_program_flags INTERFACE -fno-tree-loop-distribute-patterns)
endif()

add_library(automata_driver OBJECT ${AUTOMATA_ROOT}/driver/driver.cpp)
target_link_libraries(automata_driver PUBLIC automata_code PRIVATE automata_program_flags)
add_subdirectory(${AUTOMATA_ROOT}/platform/${AUTOMATA_PLATFORM}
                 ${CMAKE_BINARY_DIR}/automata/platform/${AUTOMATA_PLATFORM})

# automata_program(NAME RECOGNIZER [NOT_INSTALLED]): the program of a recognizer's source
# (absolute, or from AUTOMATA_ROOT).
function(automata_program name recognizer)
  cmake_parse_arguments(PARSE_ARGV 2 program "NOT_INSTALLED" "" "")
  get_filename_component(recognizer ${recognizer} ABSOLUTE BASE_DIR ${AUTOMATA_ROOT})
  add_executable(${name} ${recognizer})
  set_target_properties(${name} PROPERTIES AUTOMATA_RECOGNIZER ${recognizer} OUTPUT_NAME ${name})
  target_link_libraries(${name} PRIVATE automata_code automata_program_flags automata_driver
                                        automata_platform)
  if(COMMAND automata_finish_program)  # a platform's step after the link
    automata_finish_program(${name})
  endif()
  if(NOT program_NOT_INSTALLED)
    install(TARGETS ${name} RUNTIME DESTINATION bin)  # bin/ on every platform
  endif()
endfunction()
