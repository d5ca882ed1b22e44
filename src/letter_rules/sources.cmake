list(APPEND PARLAN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/RuleFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RuleLines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RuleMatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ContextPatterns.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompiledRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextToPhonemes.cpp)
