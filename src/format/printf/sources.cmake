# The printf family: the floating-point text, the directive syntax, argument
# collection, the engine and the exports.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/argument_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ebcdic_directives.cpp
  ${CMAKE_CURRENT_LIST_DIR}/float_conversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printf_exports.cpp
)
