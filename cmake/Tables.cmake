# Programs and routines from tables and expressions: the compiler (compiler/automata) turns a
# table file or a .regex file into code when the build is configured. A fault in a file stops the
# configure with the compiler's one line naming the file (and line) and what is wrong, and nothing
# half-built is left; what is worth saying about a table that builds (states no word reaches,
# states fewer would do the work of) is said in a line of its own.
#
#   automata_add_program(NAME FILE [NOT_INSTALLED] [QUIET] [OUTPUT_NAME PROGRAM] [WORDS LIST])
#       the program NAME (a target): the driver, FILE's recognizer and the platform layer,
#       installed into bin/ with a manual page; QUIET says what is worth saying only at
#       --log-level=VERBOSE
#   automata_add_recognizer(TARGET FILE [FUNCTION NAME] [WORDS LIST])
#       FILE's routine, int NAME(const char* word) with C linkage, compiled into TARGET (as C where
#       the project enables C, else as C++); NAME is FILE's name up to the first dot by default
#   WORDS LIST: a test, automata_words.NAME, that each word of the list is in FILE's language or
#       not as the list says (automata test FILE LIST: lines 'yes WORD' and 'no WORD')

set(AUTOMATA_MAX_STATES 16384 CACHE STRING "The most states an expression's automaton may have")
set(AUTOMATA_COMPILER ${AUTOMATA_ROOT}/compiler/automata)

# A recognizer from a table may have thousands of states, each a block of one function. GCC's
# redundancy passes over the loads of *p (full redundancy elimination, partial redundancy
# elimination and code hoisting) take time that grows with the square of the blocks (a
# 4,096-state table: 98 s, 15 minutes and more for 16,384) and find nothing to remove: every
# block reads its byte once. Without them the build time grows linearly (14 s, 74 s) and the
# code is the same size. Reassociation would fold a state's range tests into a bit test behind a
# branch on which half of the ranges the byte is in, which text mispredicts; without it each
# test is a compare and a branch that the common bytes never take, and the code is smaller.
# They stay for every other source.
if(CMAKE_CXX_COMPILER_LOADED)
  include(CheckCXXCompilerFlag)
  set(AUTOMATA_TABLE_OPTIONS "")
  foreach(option IN ITEMS -fno-tree-fre -fno-tree-pre -fno-code-hoisting -fno-tree-reassoc)
    string(MAKE_C_IDENTIFIER "AUTOMATA_HAVE${option}" have)
    check_cxx_compiler_flag(${option} ${have})
    if(${have})
      list(APPEND AUTOMATA_TABLE_OPTIONS ${option})
    endif()
  endforeach()
endif()

# automata_compile(FILE QUIET ARGUMENTS...): the compiler run on FILE; OUTPUTS are removed if it
# fails.
function(automata_compile file quiet)
  cmake_parse_arguments(PARSE_ARGV 2 run "" "" "OUTPUTS")
  execute_process(
    COMMAND ${Python3_EXECUTABLE} ${AUTOMATA_COMPILER} source ${file} ${run_UNPARSED_ARGUMENTS}
            --max-states ${AUTOMATA_MAX_STATES}
    RESULT_VARIABLE failed ERROR_VARIABLE said ERROR_STRIP_TRAILING_WHITESPACE)
  if(failed)
    file(REMOVE ${run_OUTPUTS})
    message(FATAL_ERROR "${said}")
  elseif(said AND quiet)
    message(VERBOSE "${said}")
  elseif(said)
    message(NOTICE "${said}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
endfunction()

# automata_words_test(NAME FILE LIST): the test that the word list holds of FILE's language.
function(automata_words_test name file words)
  if(words)
    get_filename_component(words "${words}" ABSOLUTE)
    add_test(NAME automata_words.${name}
             COMMAND ${Python3_EXECUTABLE} ${AUTOMATA_COMPILER} test ${file} ${words}
                     --max-states ${AUTOMATA_MAX_STATES})
  endif()
endfunction()

function(automata_add_program name file)
  cmake_parse_arguments(PARSE_ARGV 2 table "NOT_INSTALLED;QUIET" "OUTPUT_NAME;WORDS" "")
  if(NOT COMMAND automata_program)
    message(FATAL_ERROR "automata_add_program: the project must enable C++ (project(... CXX))")
  endif()
  get_filename_component(path "${file}" ABSOLUTE)
  if(NOT table_OUTPUT_NAME)
    set(table_OUTPUT_NAME ${name})
  endif()
  if(NOT table_OUTPUT_NAME MATCHES "^[A-Za-z0-9_][A-Za-z0-9_+-]*$")
    message(FATAL_ERROR "${path}: '${table_OUTPUT_NAME}' cannot name a program: letters, digits, "
                        "_, + and - only, up to the first dot")
  elseif(TARGET ${name})
    message(FATAL_ERROR "${path}: another program is named ${name} already")
  endif()
  set(generated ${CMAKE_BINARY_DIR}/tables)
  file(MAKE_DIRECTORY ${generated})
  set(version ${PROJECT_VERSION})
  if(DEFINED automata_VERSION)
    set(version ${automata_VERSION})
  endif()
  automata_compile(${path} "${table_QUIET}" --house -o ${generated}/${name}.cpp
                   --manual ${generated}/${name}.1 --name ${table_OUTPUT_NAME} --version=${version}
                   OUTPUTS ${generated}/${name}.cpp ${generated}/${name}.1)
  set(installed "")
  if(table_NOT_INSTALLED)
    set(installed NOT_INSTALLED)
  endif()
  automata_program(${name} ${generated}/${name}.cpp ${installed})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${table_OUTPUT_NAME}
                                           AUTOMATA_TABLE ${path} AUTOMATA_MANUAL ${generated}/${name}.1)
  set_source_files_properties(${generated}/${name}.cpp PROPERTIES
                              COMPILE_OPTIONS "${AUTOMATA_TABLE_OPTIONS}")
  automata_words_test(${name} ${path} "${table_WORDS}")
endfunction()

function(automata_add_recognizer target file)
  cmake_parse_arguments(PARSE_ARGV 2 routine "" "FUNCTION;WORDS" "")
  get_filename_component(path "${file}" ABSOLUTE)
  if(NOT routine_FUNCTION)
    get_filename_component(routine_FUNCTION "${path}" NAME_WE)
    string(MAKE_C_IDENTIFIER "${routine_FUNCTION}" routine_FUNCTION)
  endif()
  get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
  set(extension cpp)
  if(C IN_LIST languages)
    set(extension c)
  endif()
  set(source ${CMAKE_CURRENT_BINARY_DIR}/automata/${routine_FUNCTION}.${extension})
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/automata)
  automata_compile(${path} "" --function ${routine_FUNCTION} -o ${source} OUTPUTS ${source})
  target_sources(${target} PRIVATE ${source})
  automata_words_test(${routine_FUNCTION} ${path} "${routine_WORDS}")
endfunction()
