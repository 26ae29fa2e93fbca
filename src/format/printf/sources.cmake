# The printf family: the floating-point text, the directive syntax, argument
# collection, the engine and the exports.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/argument_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ebcdic_directives.cpp
  ${CMAKE_CURRENT_LIST_DIR}/float_conversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printf_exports.cpp
)
# The engine dispatches on the directive state once a character and on the conversion
# once a directive; compare chains predict far better there than one indirect jump
# whose target changes with nearly every character.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/printf_exports.cpp
                            PROPERTIES COMPILE_OPTIONS -fno-jump-tables)
