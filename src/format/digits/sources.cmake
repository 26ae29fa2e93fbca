# Decimal digits of integers and doubles, shared by the number formatters and printf.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/big_unsigned.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fixed_digits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/significant_digits.cpp
)
