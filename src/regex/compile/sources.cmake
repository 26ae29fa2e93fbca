# Regular expression compilation: the parsers, bracket sets, the strip and the exports.
list(APPEND POLYLOC_SOURCES
     ${CMAKE_CURRENT_LIST_DIR}/bracket.cpp
     ${CMAKE_CURRENT_LIST_DIR}/bracket_sets.cpp
     ${CMAKE_CURRENT_LIST_DIR}/compile_exports.cpp
     ${CMAKE_CURRENT_LIST_DIR}/compile_regex.cpp
     ${CMAKE_CURRENT_LIST_DIR}/compiler.cpp
     ${CMAKE_CURRENT_LIST_DIR}/portable_names.cpp
     ${CMAKE_CURRENT_LIST_DIR}/program_scan.cpp
     ${CMAKE_CURRENT_LIST_DIR}/range.cpp
     ${CMAKE_CURRENT_LIST_DIR}/syntax.cpp)
