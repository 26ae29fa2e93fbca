# The character-set table's rules and the code conversion engine.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/conversion_trie.cpp
  ${CMAKE_CURRENT_LIST_DIR}/from_unicode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shift_rule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/to_unicode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unicode_value.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utf16_to_bytes.cpp
)
