list(APPEND PARLAN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/NormalisationRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Chunking.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AlwaysPhrases.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CharacterPasses.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Digits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Abbreviations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberReading.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberForms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Acronyms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ContextWords.cpp)
