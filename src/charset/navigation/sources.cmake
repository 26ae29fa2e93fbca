# Character navigation and classification over the character-set table.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/char_access.cpp
  ${CMAKE_CURRENT_LIST_DIR}/char_count.cpp
  ${CMAKE_CURRENT_LIST_DIR}/char_types.cpp
  ${CMAKE_CURRENT_LIST_DIR}/char_walk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/classification_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/navigation_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/truncation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/type_trie.cpp
)
