# Number parsing: PLStringToLong and PLStringToDouble in their four forms.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/decimal_digits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/number_items.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parse_exports.cpp
)
