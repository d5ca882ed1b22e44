list(APPEND PARLAN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ParlanFileManagement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModeTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineBinding.cpp)
