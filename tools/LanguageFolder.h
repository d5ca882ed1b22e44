// Files of a language folder as a developer handles them: a rule file turned between UTF-16
// little-endian (CR LF, as the control has always read them) and UTF-8 with a byte-order mark
// (LF, as editors on Linux write it), and a new language folder made from an existing one.
#pragma once

#include <filesystem>
#include <string>

#include "Options.h"

namespace parlan::cli {

// A language file's text as read, and how it was stored.
struct LanguageText {
  std::u16string Text;
  bool Utf8 = false;  // UTF-8 (with or without the mark) rather than UTF-16 little-endian
  bool Mark = false;  // began with a byte-order mark
};

// Decodes a language file's bytes: UTF-8 when they begin with its byte-order mark or hold no
// NUL byte and are valid UTF-8, UTF-16 little-endian otherwise. Throws UsageError (naming
// `shown`) for text that is neither.
LanguageText DecodeLanguageText(const std::string& bytes, const std::string& shown);

// The bytes of text in the target encoding, every line end written the target's way.
std::string EncodeLanguageText(std::u16string_view text, bool utf8);

struct ConvertResult {
  std::filesystem::path Written;
  std::filesystem::path Backup;  // empty when the file was not rewritten in place
  bool Utf8 = false;
};

// Converts work.File to work.To (the other encoding when empty), into work.Output or in place.
// In place, the original is kept as FILE~; an existing output or FILE~ is replaced only with
// work.Force. Throws UsageError or RunError with the reason.
ConvertResult ConvertLanguageFile(const LanguageWork& work);

// Makes `into`/"Parlan <language>" from the language folder `from`: its four files renamed for
// the new language, the "LANGUAGE=" line and the "Parlan <name>" titles inside adjusted, and a
// starter tests.tsv. Returns the new folder. Throws UsageError when the name is unusable, the
// source is not a language folder or the new folder exists; RunError when writing fails (then
// nothing is left behind).
std::filesystem::path MakeLanguage(const std::filesystem::path& from, const std::string& language,
                                   const std::filesystem::path& into);

}  // namespace parlan::cli
