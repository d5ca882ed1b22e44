#include "modes/ParlanFileManagement.h"

#include <vector>

#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan {

std::filesystem::path LanguageFolder(const std::filesystem::path& root,
                                     std::u16string_view language) {
  return root / ToUtf8(std::u16string(kLanguageFolderPrefix) + std::u16string(language));
}

std::filesystem::path LanguageFilePath(const std::filesystem::path& root,
                                       std::u16string_view language, LanguageFile file) {
  static constexpr const char16_t* kSuffixes[] = {u"c.ttg", u"n.ttg", u"e.ttg", u"r.ttg"};
  std::u16string name = std::u16string(language) + kSuffixes[static_cast<int>(file)];
  return LanguageFolder(root, language) / ToUtf8(name);
}

std::u16string PathText(const std::filesystem::path& path) {
  return Utf8OrLatin1ToUtf16(path.native());
}

std::u16string ReadConfigValue(const std::filesystem::path& file, std::u16string_view key,
                               ErrorRecord& error) {
  std::vector<std::u16string> lines;
  if (ReadConfigLines(file, lines)) {
    std::u16string prefix = std::u16string(key) + u"=";
    for (const auto& line : lines)
      if (StartsWithIgnoreCase(line, prefix)) return line.substr(prefix.size());
  }
  // The message names the file and the key so that a language developer can find the fault.
  error.Record(errors::kConfigFile, std::u16string(errors::kConfigFileText) + PathText(file) +
                                        u" (" + std::u16string(key) + u")");
  return {};
}

std::u16string LanguageOfMode(std::u16string_view displayName) {
  static constexpr size_t kFemaleSuffix = 16;  // " Female (Parlan)"
  static constexpr size_t kMaleSuffix = 14;    // " Male (Parlan)"
  size_t cut = InStrIgnoreCase(displayName, u"Female") ? kFemaleSuffix : kMaleSuffix;
  if (displayName.size() < cut) return {};
  return std::u16string(displayName.substr(0, displayName.size() - cut));
}

}  // namespace parlan
