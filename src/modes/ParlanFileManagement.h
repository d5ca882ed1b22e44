// The install layout of native languages and the reader of their configuration files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "strings/ErrorRecord.h"

namespace parlan {

// "Parlan " + language, the folder of a language directly under the install root.
inline constexpr char16_t kLanguageFolderPrefix[] = u"Parlan ";

// The four files of a language, by the letter that follows the language name.
enum class LanguageFile { Configuration, Normalisation, Exceptions, Rules };

std::filesystem::path LanguageFolder(const std::filesystem::path& root,
                                     std::u16string_view language);
std::filesystem::path LanguageFilePath(const std::filesystem::path& root,
                                       std::u16string_view language, LanguageFile file);

// The value of `key` in a configuration file: the rest of the first line that begins with the
// key and "=" (key compared without regard to case), untrimmed. A missing file or key gives the
// empty text and records error 8. The file is opened, read and closed for every lookup, so an
// edit takes effect at the next lookup.
std::u16string ReadConfigValue(const std::filesystem::path& file, std::u16string_view key,
                               ErrorRecord& error);

// The language name of a native mode's display name: the name without " Female (Parlan)" when
// it contains "female" in any case, otherwise without " Male (Parlan)". Empty when too short.
std::u16string LanguageOfMode(std::u16string_view displayName);

// A path as UTF-16 text, for messages.
std::u16string PathText(const std::filesystem::path& path);

}  // namespace parlan
