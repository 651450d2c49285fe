# find_package(automata): programs and routines from tables and regular expressions, built in
# one's own project by the same code that builds this project's programs (cmake/Tables.cmake says
# how to call them):
#   automata_add_program(NAME FILE)                      a program, as AUTOMATA_TABLES builds it
#   automata_add_recognizer(TARGET FILE [FUNCTION NAME])  the routine, compiled into TARGET
# Programs need C++ enabled in the project; routines need C or C++.
if(COMMAND automata_add_recognizer)
  return()  # read once per build
endif()
get_filename_component(AUTOMATA_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
get_property(automata_languages GLOBAL PROPERTY ENABLED_LANGUAGES)
if(CXX IN_LIST automata_languages)
  include(${CMAKE_CURRENT_LIST_DIR}/Platform.cmake)
  include(${CMAKE_CURRENT_LIST_DIR}/Programs.cmake)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/Tables.cmake)
