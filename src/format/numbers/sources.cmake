# PLLongToString, PLDoubleToString, PLCurrencyToString in their four forms.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/number_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/number_forms.cpp
)
