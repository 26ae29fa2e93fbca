# The floating-point text of the printf engine.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/float_conversion.cpp
)
