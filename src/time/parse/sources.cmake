# Time parsing: PLStringToTime and its Ex, U and W forms.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/finish_time.cpp
  ${CMAKE_CURRENT_LIST_DIR}/time_parse_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zone_table.cpp
)
