# Regular expression matching: the reference automaton, dissection, the backtracking
# search for back references, the search, and the exec, match and range exports.
list(APPEND POLYLOC_SOURCES
     ${CMAKE_CURRENT_LIST_DIR}/automaton.cpp
     ${CMAKE_CURRENT_LIST_DIR}/backtrack.cpp
     ${CMAKE_CURRENT_LIST_DIR}/dissect.cpp
     ${CMAKE_CURRENT_LIST_DIR}/exec_exports.cpp
     ${CMAKE_CURRENT_LIST_DIR}/exec_forms.cpp
     ${CMAKE_CURRENT_LIST_DIR}/leftmost.cpp
     ${CMAKE_CURRENT_LIST_DIR}/match_exports.cpp
     ${CMAKE_CURRENT_LIST_DIR}/range_exports.cpp
     ${CMAKE_CURRENT_LIST_DIR}/search.cpp
     ${CMAKE_CURRENT_LIST_DIR}/whole_passes.cpp)
