list(APPEND PARLAN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/NullEngines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordingEngines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineCalls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefaultEngines.cpp
  # Text, markup and voice listing for the eSpeak NG engines: no eSpeak NG calls of their own.
  ${CMAKE_CURRENT_LIST_DIR}/EspeakSpeech.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EspeakMarkup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EspeakSegments.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EspeakTextGuard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EspeakVoiceCatalogue.cpp)
if(PARLAN_HAVE_ESPEAK)
  list(APPEND PARLAN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FileSinks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundServerSink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HandlerSink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpeechChannel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EspeakService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EspeakSynthesis.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EspeakVoice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EspeakDirectSS.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EspeakFactory.cpp)
endif()
