// Checks of the configuration's engine keys: SAPINO must say which kind of engine speaks the
// language, and UID, MALE and FEMALE must name voices that exist, because an unknown name does
// not fail: the engine quietly falls back to a voice chosen by the language alone, or keeps the
// one selected before.
#include <algorithm>

#include "CheckContext.h"
#include "strings/Unicode.h"
#if PARLAN_HAVE_ESPEAK
#include "engines/EspeakService.h"
#endif

namespace parlan::cli {
namespace {

// The voices the engines offer, or nothing when the engine cannot be started (the voices are
// then not checked, rather than all reported).
std::optional<std::vector<engines::VoiceEntry>> AvailableVoices() {
#if PARLAN_HAVE_ESPEAK
  if (engines::EspeakService* service = engines::EspeakService::Get())
    return service->Voices().Entries();
#endif
  return std::nullopt;
}

// As the direct engine's search takes an engine identifier: the eSpeak NG identifier, the name
// it is synthesised under, or the voice's description.
bool KnownEngine(const std::vector<engines::VoiceEntry>& voices, std::u16string_view uid) {
  return std::any_of(voices.begin(), voices.end(), [&](const engines::VoiceEntry& v) {
    return EqualsIgnoreCase(uid, U16(v.Identifier)) || EqualsIgnoreCase(uid, U16(v.SynthName)) ||
           EqualsIgnoreCase(uid, v.Description);
  });
}

// As the voice object selects a voice by name.
bool KnownVoice(const std::vector<engines::VoiceEntry>& voices, std::u16string_view name) {
  return std::any_of(voices.begin(), voices.end(), [&](const engines::VoiceEntry& v) {
    return EqualsIgnoreCase(name, v.Description);
  });
}

void CheckSapiNumber(const std::vector<std::u16string>& lines, const std::string& shown,
                     Problems& found) {
  int line = 0;
  const std::u16string value = ConfigValue(lines, u"SAPINO", line);
  if (line == 0 || value == u"4" || value == u"5") return;
  found.Add(shown, line,
            "SAPINO is " + Quote(value) +
                ": write 5 for a SAPI 5 voice or 4 for a SAPI 4 engine (anything but a number "
                "5 gives a SAPI 4 engine)");
}

}  // namespace

void CheckEngineKeys(const std::vector<std::u16string>& lines, const std::string& shown,
                     Problems& found) {
  CheckSapiNumber(lines, shown, found);
  const auto voices = AvailableVoices();
  if (!voices) return;
  int line = 0;
  const std::u16string uid = ConfigValue(lines, u"UID", line);
  if (line != 0 && !uid.empty() && !KnownEngine(*voices, uid))
    found.Add(shown, line,
              "UID " + Quote(uid) +
                  " names no voice of the engine (give an eSpeak NG voice identifier such as "
                  "\"gmw/en-US\"; parlan modes lists the voices): the voice is chosen by LANGID "
                  "alone");
  for (const char16_t* key : {u"MALE", u"FEMALE"}) {
    const std::u16string voice = ConfigValue(lines, key, line);
    if (line != 0 && !voice.empty() && !KnownVoice(*voices, voice))
      found.Add(shown, line,
                ToUtf8(key) + " " + Quote(voice) +
                    " names no voice (parlan modes lists the SAPI 5 voices by name): with "
                    "SAPINO=5 the mode keeps the voice selected before");
  }
}

}  // namespace parlan::cli
