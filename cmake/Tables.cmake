# Programs from tables of one's own: -DAUTOMATA_TABLES="a.table;b.table" (paths absolute, or from
# the project's root) builds a program from each, named after its file up to the first dot. When
# the build is configured, recognizers/generate.py turns each table into a recognizer and a manual
# page; a table with a fault stops the configure, naming its file and line, so that nothing
# half-built is left to install.
set(AUTOMATA_TABLES "" CACHE STRING "Table files (;-separated), each built into a program of its own")
set(AUTOMATA_TABLE_PROGRAMS "")  # their names
set(AUTOMATA_TABLE_FILES "")     # their tables, as absolute paths
if(AUTOMATA_TABLES)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(generated ${PROJECT_BINARY_DIR}/tables)
  file(MAKE_DIRECTORY ${generated})
  foreach(table IN LISTS AUTOMATA_TABLES)
    get_filename_component(table "${table}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
    get_filename_component(name "${table}" NAME)
    string(REGEX REPLACE "\\..*" "" name "${name}")
    if(NOT name MATCHES "^[A-Za-z0-9_][A-Za-z0-9_+-]*$" OR name IN_LIST AUTOMATA_PROGRAMS
       OR name IN_LIST AUTOMATA_TABLE_PROGRAMS)
      message(FATAL_ERROR "${table}: '${name}' cannot name a program: letters, digits, _, + and - "
                          "only, and no name that another program has")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table}
                 ${PROJECT_SOURCE_DIR}/recognizers/generate.py)
    file(REMOVE ${generated}/${name}.cpp ${generated}/${name}.1)
    execute_process(
      COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/recognizers/generate.py ${table}
              --source ${generated}/${name}.cpp --manual ${generated}/${name}.1 --name ${name}
              --version ${PROJECT_VERSION}
      RESULT_VARIABLE failed ERROR_VARIABLE fault)
    if(failed)
      message(FATAL_ERROR "${fault}")
    endif()
    automata_add_program(${name} ${generated}/${name}.cpp)
    list(APPEND AUTOMATA_TABLE_PROGRAMS ${name})
    list(APPEND AUTOMATA_TABLE_FILES ${table})
  endforeach()
endif()
