# Date and time: what formatting and parsing share, then each of them.
list(APPEND POLYLOC_SOURCES ${CMAKE_CURRENT_LIST_DIR}/time_text.cpp)
include(${CMAKE_CURRENT_LIST_DIR}/format/sources.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/parse/sources.cmake OPTIONAL)
