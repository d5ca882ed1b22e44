list(APPEND PARLAN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/NormalisationRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Chunking.cpp)
