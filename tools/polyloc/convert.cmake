target_sources(polyloc_cli PRIVATE ${CMAKE_CURRENT_LIST_DIR}/convert_command.cpp)
