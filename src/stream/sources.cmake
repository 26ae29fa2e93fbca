# Text streams over callbacks, and the end-of-line helpers.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/end_of_line_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stream_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stream_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stream_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/char_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/read_string_exports.cpp
)
