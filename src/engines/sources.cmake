list(APPEND PARLAN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/NullEngines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordingEngines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineCalls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefaultEngines.cpp)
