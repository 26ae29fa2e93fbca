# The string family: operations, mapping and comparison in their four forms.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ops/copy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ops/search.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ops/span.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ops/string_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ops/string_walk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ops/tokenize.cpp
)
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/mapping/codeset_mapping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mapping/map_string.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mapping/mapping_exports.cpp
)
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/compare/compare.cpp
  ${CMAKE_CURRENT_LIST_DIR}/compare/compare_exports.cpp
)
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/collate/collate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collate/collate_core.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collate/collate_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collate/collation_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collate/collation_view.cpp
)
