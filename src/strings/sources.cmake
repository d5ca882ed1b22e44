list(APPEND PARLAN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/StringFunctions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Unicode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RemainingText.cpp)
