#include "engines/EngineCalls.h"
#include "modes/ModeTable.h"
#include "modes/ParlanFileManagement.h"
#include "strings/NumberText.h"
#include "strings/Unicode.h"

namespace parlan {
namespace {

constexpr int32_t kFemale = 1;
constexpr int32_t kMale = 2;

void BindSapi4(ModeState& modes, int32_t gender, const std::filesystem::path& config,
               engines::DirectSS* engine, ErrorRecord& error) {
  std::u16string uid = ReadConfigValue(config, u"UID", error);
  std::u16string langid = ReadConfigValue(config, u"LANGID", error);
  std::u16string criteria =
      u"EngineID=" + uid + u";Gender=" + FormatSigned(gender) + u";LanguageID=" + langid;
  // When the search fails the mode found last time is selected again.
  engines::GetLong(engine, engines::ss::kFind, Variant(criteria), modes.NativeSapi4Mode);
  engines::CallMethod(engine, engines::ss::kSelect, {Variant(modes.NativeSapi4Mode)});
}

}  // namespace

void BindNativeEngine(ModeState& modes, const std::u16string& displayName,
                      const ModeEngines& engines, const std::filesystem::path& root,
                      ErrorRecord& error) {
  static constexpr size_t kParlanSuffix = 9;  // " (Parlan)"
  if (displayName.size() < kParlanSuffix) return;
  std::u16string rest = displayName.substr(0, displayName.size() - kParlanSuffix);
  int32_t gender = InStrIgnoreCase(rest, u"Female") ? kFemale : kMale;
  size_t genderWord = gender == kFemale ? 7 : 5;  // " Female" or " Male"
  if (rest.size() < genderWord) return;
  std::u16string language = rest.substr(0, rest.size() - genderWord);
  auto config = LanguageFilePath(root, language, LanguageFile::Configuration);

  double sapino = LeadingNumber(ReadConfigValue(config, u"SAPINO", error));
  modes.NativeEngineKind = sapino == 5.0 ? kNativeOnSapi5 : kNativeOnSapi4;
  if (modes.NativeEngineKind == kNativeOnSapi4) {
    BindSapi4(modes, gender, config, engines.ParlanSapiObj, error);
  } else {
    std::u16string voice = ReadConfigValue(config, gender == kFemale ? u"FEMALE" : u"MALE", error);
    SelectVoiceByName(engines.Sapi5Obj, voice);
  }
  double space = RoundHalfEven(LeadingNumber(ReadConfigValue(config, u"SPACE", error)));
  modes.KeepPhonemeSpaces = space == 1.0;
}

}  // namespace parlan
