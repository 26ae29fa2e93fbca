# The conversion interface: whole strings and resumable buffers between code sets,
# UTF-16 and packed characters.
list(APPEND POLYLOC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/conversion_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert_buffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert_strings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decode_strings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/encode_strings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fast_runs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spans.cpp
)
