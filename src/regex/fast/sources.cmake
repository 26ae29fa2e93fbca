# The fast engine: lazily built DFAs answering the matcher's two whole-program passes.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/fast_cache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fast_engine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lazy_dfa.cpp
  ${CMAKE_CURRENT_LIST_DIR}/state_step.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unit_classes.cpp)
