#include "modes/ModeTable.h"

#include <system_error>

#include "engines/EngineCalls.h"
#include "modes/ParlanFileManagement.h"
#include "strings/NumberText.h"
#include "strings/Unicode.h"

namespace parlan {
namespace {

constexpr char16_t kMaleSuffix[] = u" Male (Parlan)";
constexpr char16_t kFemaleSuffix[] = u" Female (Parlan)";
constexpr char16_t kSapi4Suffix[] = u"  (SAPI 4)";
constexpr char16_t kSapi5Suffix[] = u" (SAPI 5)";

// A folder directly under the root whose name begins with "Parlan " (exact, with case) is a
// language folder; its language name is the rest of the folder name.
bool LanguageOfFolder(const std::filesystem::directory_entry& entry, std::u16string& language) {
  std::error_code ec;
  if (!entry.is_directory(ec) || ec) return false;
  std::u16string name = Utf8OrLatin1ToUtf16(entry.path().filename().native());
  std::u16string_view prefix = kLanguageFolderPrefix;
  if (name.size() < prefix.size() || std::u16string_view(name).substr(0, prefix.size()) != prefix)
    return false;
  language = name.substr(prefix.size());
  return true;
}

void AddNativeModes(ModeState& modes, const std::filesystem::path& root,
                    const std::u16string& language, ErrorRecord& error) {
  std::u16string gender = ReadConfigValue(
      LanguageFilePath(root, language, LanguageFile::Configuration), u"GENDER", error);
  if (gender.empty())
    error.Record(errors::kMissingGender, std::u16string(errors::kMissingGenderText) + language);
  // Counts are 16-bit: a language beyond 32767 modes offers none.
  auto add = [&](const char16_t* suffix) {
    if (modes.NativeModeNames.size() >= 32767) return;
    modes.NativeModeNames.push_back(language + suffix);
  };
  if (gender == u"Male" || gender == u"Both") add(kMaleSuffix);
  if (gender == u"Female" || gender == u"Both") add(kFemaleSuffix);
}

}  // namespace

void ListNativeModes(ModeState& modes, const std::filesystem::path& root, ErrorRecord& error,
                     bool& conversionOk) {
  modes.NativeModeNames.clear();
  std::error_code ec;
  std::filesystem::directory_iterator it(root, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::u16string language;
    if (LanguageOfFolder(*it, language)) AddNativeModes(modes, root, language, error);
  }
  modes.NativeModeCount = static_cast<int16_t>(modes.NativeModeNames.size());
  conversionOk = true;
}

void ListSapi4Modes(ModeState& modes, engines::DirectSS* sapi4) {
  modes.Sapi4ModeNames.clear();
  modes.Sapi4ModeCount = 0;
  int32_t count = 0;
  // A failed count, or one beyond 16 bits, leaves this source with no modes.
  if (!engines::GetLong(sapi4, engines::ss::kCountModes, count)) return;
  auto narrowed = NarrowTo16(static_cast<int64_t>(count));
  if (!narrowed || *narrowed < 0) return;
  modes.Sapi4ModeCount = *narrowed;
  modes.Sapi4ModeNames.assign(static_cast<size_t>(*narrowed), u"");
  for (int32_t i = 1; i <= *narrowed; ++i) {
    std::u16string name;
    if (engines::GetText(sapi4, engines::ss::kModeName, Variant(i), name))
      modes.Sapi4ModeNames[static_cast<size_t>(i - 1)] = name + kSapi4Suffix;
  }
}

void ListSapi5Modes(ModeState& modes, engines::Voice* voice) {
  modes.Sapi5ModeNames.clear();
  modes.Sapi5ModeCount = 0;
  std::shared_ptr<engines::VoiceTokens> tokens;
  if (!voice || !voice->GetVoices(u"", u"", tokens) || !tokens) return;
  auto count = NarrowTo16(static_cast<int64_t>(tokens->Count()));
  if (!count || *count < 0) return;
  modes.Sapi5ModeNames.assign(static_cast<size_t>(*count), u"");
  if (!voice->GetVoices(u"", u"", tokens) || !tokens) return;
  int16_t walked = 0;
  for (int32_t k = 0; k < tokens->Count() && k < *count; ++k) {
    std::shared_ptr<engines::VoiceToken> token;
    std::u16string description;
    if (tokens->Item(k, token) && token && token->GetDescription(0, description))
      modes.Sapi5ModeNames[static_cast<size_t>(k)] = description + kSapi5Suffix;
    ++walked;
  }
  modes.Sapi5ModeCount = walked;
}

int32_t CountEngines(const ModeState& modes) {
  int32_t sum = modes.NativeModeCount + modes.Sapi4ModeCount + modes.Sapi5ModeCount;
  return sum > 32767 ? 0 : sum;
}

std::u16string ModeName(const ModeState& modes, int16_t index, ErrorRecord& error) {
  const int32_t n = modes.NativeModeCount, s4 = modes.Sapi4ModeCount, s5 = modes.Sapi5ModeCount;
  auto at = [](const std::vector<std::u16string>& table, int32_t i) -> std::u16string {
    if (i < 1 || static_cast<size_t>(i) > table.size()) return {};
    return table[static_cast<size_t>(i - 1)];
  };
  if (index <= n) return at(modes.NativeModeNames, index);
  int32_t j = index - n;
  if (j <= s4) return at(modes.Sapi4ModeNames, j);
  int32_t k = j - s4;
  if (k <= s5) return at(modes.Sapi5ModeNames, k);
  error.Record(errors::kInvalidModeNumber,
               std::u16string(errors::kInvalidModeNumberText) + FormatSigned(index));
  return {};
}

bool SelectVoiceByName(engines::Voice* voice, const std::u16string& name) {
  std::shared_ptr<engines::VoiceTokens> tokens;
  std::shared_ptr<engines::VoiceToken> token;
  if (!voice || !voice->GetVoices(u"Name=" + name, u"", tokens) || !tokens) return false;
  if (!tokens->Item(0, token) || !token) return false;
  return voice->SetVoice(token);
}

void SelectMode(ModeState& modes, int16_t n, const ModeEngines& engines,
                const std::filesystem::path& root, ErrorRecord& error) {
  const int32_t nativeCount = modes.NativeModeCount;
  if (n <= nativeCount) {
    modes.ModeIndex = n;
    modes.ModeKind = kNativeMode;
    // Below 1 there is no name to bind: the mode is native all the same.
    if (n >= 1 && static_cast<size_t>(n) <= modes.NativeModeNames.size())
      BindNativeEngine(modes, modes.NativeModeNames[static_cast<size_t>(n - 1)], engines, root,
                       error);
    return;
  }
  int32_t d = n - nativeCount;
  if (d <= modes.Sapi4ModeCount) {
    modes.ModeIndex = d;
    modes.ModeKind = kSapi4Mode;
    engines::PutLong(engines.Sapi4Obj, engines::ss::kCurrentMode, d);
    return;
  }
  int32_t f = d - modes.Sapi4ModeCount;
  if (f <= modes.Sapi5ModeCount) {
    modes.ModeIndex = f;
    modes.ModeKind = kSapi5Mode;
    std::shared_ptr<engines::VoiceTokens> tokens;
    std::shared_ptr<engines::VoiceToken> token;
    if (engines.Sapi5Obj && engines.Sapi5Obj->GetVoices(u"", u"", tokens) && tokens &&
        tokens->Item(f - 1, token) && token)
      engines.Sapi5Obj->SetVoice(token);
  }
}

}  // namespace parlan
