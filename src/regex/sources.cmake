# Regular expressions: the program layout, the compiler, the matcher and its fast
# engine, and the messages.
include(${CMAKE_CURRENT_LIST_DIR}/compile/sources.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/match/sources.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/fast/sources.cmake OPTIONAL)
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/error_exports.cpp)
  list(APPEND POLYLOC_SOURCES ${CMAKE_CURRENT_LIST_DIR}/error_exports.cpp)
endif()
