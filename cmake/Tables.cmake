# Programs from tables: the examples in examples/, then those of -DAUTOMATA_TABLES="a.table;b.regex"
# (paths absolute, or from the project's root), each named after its file up to the first dot. A
# .regex file holds a regular expression, built as its minimal table.
# When the build is configured, recognizers/generate.py turns each table into a recognizer and a
# manual page; a fault in a table or in the list stops the configure with one line naming the file
# (and line) and what is wrong, so that nothing half-built is left to install. What is worth
# saying about a table that builds (states no word reaches, states fewer would do the work of) is
# said in a line of its own.
set(AUTOMATA_TABLES "" CACHE STRING "Table files (;-separated), each built into a program of its own")
set(AUTOMATA_MAX_STATES 16384 CACHE STRING "The most states an expression's automaton may have")
set(AUTOMATA_EXAMPLES examples/identifier.table examples/quoted.table examples/mult7.table
                      examples/digitsum.table examples/signed.table examples/varname.regex
                      examples/isodate.regex examples/ipv4.regex examples/json-number.regex)
# The examples are built and tested but not installed (their tables are, as documentation); the
# programs of AUTOMATA_TABLES are installed and packaged with a manual page each.
set(AUTOMATA_TABLE_PROGRAMS "")  # the programs of AUTOMATA_TABLES
set(AUTOMATA_TABLE_FILES "")     # the tables of the examples and of AUTOMATA_TABLES, absolute
set(generated ${PROJECT_BINARY_DIR}/tables)
file(MAKE_DIRECTORY ${generated})

# A recognizer from a table may have thousands of states, each a block of one function. GCC's
# redundancy passes over the loads of *p (full redundancy elimination, partial redundancy
# elimination and code hoisting) take time that grows with the square of the blocks (a
# 4,096-state table: 98 s, 15 minutes and more for 16,384) and find nothing to remove: every
# block reads its byte once. Without them the build time grows linearly (14 s, 74 s) and the
# code is the same size. They stay for every other source.
set(AUTOMATA_TABLE_OPTIONS "")
foreach(option IN ITEMS -fno-tree-fre -fno-tree-pre -fno-code-hoisting)
  string(MAKE_C_IDENTIFIER "AUTOMATA_HAVE${option}" have)
  check_cxx_compiler_flag(${option} ${have})
  if(${have})
    list(APPEND AUTOMATA_TABLE_OPTIONS ${option})
  endif()
endforeach()

# automata_table_program(TABLE [NOT_INSTALLED]): the program of one table.
macro(automata_table_program table)
  if("${table}" STREQUAL "")
    message(FATAL_ERROR "AUTOMATA_TABLES: an empty entry (two ; together, or one at an end)")
  endif()
  get_filename_component(path "${table}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  get_filename_component(name "${path}" NAME)
  string(REGEX REPLACE "\\..*" "" name "${name}")
  if(NOT name MATCHES "^[A-Za-z0-9_][A-Za-z0-9_+-]*$")
    message(FATAL_ERROR "${path}: '${name}' cannot name a program: letters, digits, _, + and - "
                        "only, up to the first dot")
  elseif(name IN_LIST AUTOMATA_PROGRAMS)
    message(FATAL_ERROR "${path}: another program is named ${name} already")
  endif()
  execute_process(
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/recognizers/generate.py ${path}
            --source ${generated}/${name}.cpp --manual ${generated}/${name}.1 --name ${name}
            --version ${PROJECT_VERSION} --max-states ${AUTOMATA_MAX_STATES}
    RESULT_VARIABLE failed ERROR_VARIABLE said ERROR_STRIP_TRAILING_WHITESPACE)
  if(failed)
    file(REMOVE ${generated}/${name}.cpp ${generated}/${name}.1)
    message(FATAL_ERROR "${said}")
  elseif(said)
    message(NOTICE "${said}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
  automata_add_program(${name} ${generated}/${name}.cpp ${ARGN})
  set_source_files_properties(${generated}/${name}.cpp PROPERTIES
                              COMPILE_OPTIONS "${AUTOMATA_TABLE_OPTIONS}")
  list(APPEND AUTOMATA_PROGRAMS ${name})
  list(APPEND AUTOMATA_TABLE_FILES ${path})
endmacro()

foreach(table IN LISTS AUTOMATA_EXAMPLES)
  automata_table_program(${table} NOT_INSTALLED)
endforeach()
foreach(table IN LISTS AUTOMATA_TABLES)
  automata_table_program("${table}")
  list(APPEND AUTOMATA_TABLE_PROGRAMS ${name})
endforeach()
file(GLOB generator_sources ${PROJECT_SOURCE_DIR}/recognizers/generate.py
                            ${PROJECT_SOURCE_DIR}/recognizers/generator/*.py)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${generator_sources})
