# Time formatting: the walk over a format in four forms and the exports.
list(APPEND POLYLOC_SOURCES ${CMAKE_CURRENT_LIST_DIR}/time_exports.cpp)
