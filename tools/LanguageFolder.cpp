#include "LanguageFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "CliErrors.h"
#include "PronunciationTests.h"
#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr const char16_t* kSuffixes[] = {u"c.ttg", u"n.ttg", u"e.ttg", u"r.ttg"};
constexpr std::string_view kFolderPrefix = "Parlan ";

std::string Reason() {
  return std::strerror(errno);
}

std::string ReadAll(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    if (!fs::exists(path, ec)) throw UsageError("cannot read " + path.string() + ": no such file");
    throw UsageError("cannot read " + path.string() + ": not a regular file");
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError("cannot read " + path.string() + ": " + Reason());
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw RunError("cannot read " + path.string() + ": " + Reason());
  return bytes;
}

// `shown` names the file in the error when `path` is only its stand-in.
void WriteAll(const fs::path& path, const std::string& bytes, const fs::path& shown = {}) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (out) out.close();
  if (!out)
    throw RunError("cannot write " + (shown.empty() ? path : shown).string() + ": " + Reason());
}

bool LooksLikeUtf16(const std::string& bytes) {
  if (bytes.starts_with("\xFF\xFE")) return true;
  for (size_t i = 1; i < bytes.size(); i += 2)
    if (bytes[i] == '\0') return true;
  return false;
}

// Every "Parlan <old>" becomes "Parlan <new>"; names of voices and everything else stay.
std::u16string Retitle(std::u16string text, const std::u16string& from, const std::u16string& to) {
  const std::u16string oldTitle = u"Parlan " + from;
  const std::u16string newTitle = u"Parlan " + to;
  for (size_t at = 0; (at = text.find(oldTitle, at)) != std::u16string::npos; at += newTitle.size())
    text.replace(at, oldTitle.size(), newTitle);
  return text;
}

// The language line is the first that holds "LANGUAGE=" in any case, as the loader finds it;
// its name runs to the end of the line or to a "WILD CARDS" sharing it.
std::u16string RenameLanguageLine(std::u16string text, const std::u16string& to) {
  const size_t found = InStrIgnoreCase(text, u"LANGUAGE=");
  if (found == 0) return text;
  const size_t value = found - 1 + 9;
  size_t end = std::min(text.find(u'\n', value), text.size());
  if (end > value && text[end - 1] == u'\r') --end;
  const std::u16string_view rest = std::u16string_view(text).substr(value, end - value);
  if (const size_t wild = InStrIgnoreCase(rest, u"WILD CARDS"); wild > 0) {
    end = value + wild - 1;
    return text.replace(value, end - value, to + u" ");
  }
  return text.replace(value, end - value, to);
}

std::string StarterTests(const fs::path& from, const std::u16string& fromName,
                         const std::u16string& name) {
  std::string tests = "# Pronunciation tests of " + ToUtf8(name) +
                      ": the text, a tab, the phonemes expected (eSpeak NG mnemonics, blanks\n"
                      "# between words). Run them with: parlan test \"Parlan " +
                      ToUtf8(name) + "\"\n";
  std::error_code ec;
  const fs::path source = PronunciationTestsFile(from);
  if (!fs::is_regular_file(source, ec)) return tests;
  tests += "# The cases below were copied from " + ToUtf8(fromName) +
           ": change them as the language's rules change.\n";
  std::string bytes = ReadAll(source);
  if (bytes.starts_with(kUtf8Mark)) bytes.erase(0, 3);
  size_t start = 0;
  while (start < bytes.size()) {  // the source's own header comments would name the source
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    if (bytes[start] != '#') tests += bytes.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return tests;
}

void CheckName(const std::string& language) {
  if (language.empty() || language.find_first_of("/\\") != std::string::npos || language == "." ||
      language == ".." || language.front() == ' ' || language.back() == ' ' ||
      language.find('\0') != std::string::npos)
    throw UsageError("\"" + language +
                     "\" cannot name a language: a name holds no \"/\" and neither begins nor "
                     "ends with a blank");
  std::u16string decoded;
  if (!Utf8ToUtf16(language, decoded)) throw UsageError("the language name is not valid UTF-8");
}

void WriteLanguageFiles(const fs::path& from, const std::u16string& fromName, const fs::path& made,
                        const std::u16string& name) {
  for (const char16_t* suffix : kSuffixes) {
    const fs::path source = from / (fromName + suffix);
    const std::string bytes = ReadAll(source);
    const fs::path target = made / (name + suffix);
    if (std::u16string_view(suffix) == u"c.ttg") {
      // Read as 8-bit lines by the control: UTF-8 in, UTF-8 out, line ends untouched.
      WriteAll(target, ToUtf8(Retitle(Utf8OrLatin1ToUtf16(bytes), fromName, name)));
      continue;
    }
    const LanguageText text = DecodeLanguageText(bytes, source.string());
    std::u16string renamed = Retitle(text.Text, fromName, name);
    if (std::u16string_view(suffix) == u"r.ttg") renamed = RenameLanguageLine(renamed, name);
    std::string out = text.Utf8 ? ToUtf8(renamed) : EncodeUtf16Le(renamed);
    if (text.Mark) out.insert(0, text.Utf8 ? std::string(kUtf8Mark) : EncodeUtf16Le(u"\uFEFF"));
    WriteAll(target, out);
  }
}

}  // namespace

LanguageText DecodeLanguageText(const std::string& bytes, const std::string& shown) {
  LanguageText result;
  if (bytes.starts_with(kUtf8Mark) || !LooksLikeUtf16(bytes)) {
    result.Utf8 = true;
    result.Mark = bytes.starts_with(kUtf8Mark);
    if (!Utf8ToUtf16(std::string_view(bytes).substr(result.Mark ? 3 : 0), result.Text))
      throw UsageError(shown + " is neither UTF-16 little-endian nor valid UTF-8");
    return result;
  }
  if (bytes.size() % 2 != 0)
    throw UsageError(shown + " has an odd number of bytes: it is not UTF-16 text");
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    result.Text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  result.Mark = result.Text.starts_with(u'\uFEFF');
  if (result.Mark) result.Text.erase(0, 1);
  return result;
}

std::string EncodeLanguageText(std::u16string_view text, bool utf8) {
  std::u16string lines;
  lines.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    if (text[i] == u'\n' && !utf8) lines.push_back(u'\r');
    lines.push_back(text[i]);
  }
  return utf8 ? kUtf8Mark + ToUtf8(lines) : EncodeUtf16Le(lines, true);
}

ConvertResult ConvertLanguageFile(const LanguageWork& work) {
  const fs::path file = work.File;
  const std::string bytes = ReadAll(file);
  const std::string name = file.filename().string();
  const std::string folder = file.parent_path().filename().string();
  if (folder.starts_with(kFolderPrefix) && name == folder.substr(kFolderPrefix.size()) + "c.ttg")
    throw UsageError(file.string() +
                     " is a configuration file, which is read as 8-bit text: it stays as it is");
  const LanguageText text = DecodeLanguageText(bytes, file.string());
  ConvertResult result;
  result.Utf8 = work.To.empty() ? !text.Utf8 : work.To == "utf8";
  result.Written = work.Output.empty() ? file : fs::path(work.Output);
  std::error_code ec;
  if (work.Output.empty()) {
    result.Backup = file.string() + "~";
    if (fs::exists(result.Backup, ec) && !work.Force)
      throw UsageError(result.Backup.string() +
                       " exists: remove it, give --force to replace it, or write elsewhere "
                       "with -o");
  } else if (fs::exists(result.Written, ec) && !work.Force) {
    throw UsageError(result.Written.string() + " exists: give --force to replace it");
  }
  const std::string converted = EncodeLanguageText(text.Text, result.Utf8);
  if (!result.Backup.empty()) WriteAll(result.Backup, bytes);
  // Written whole beside the target and renamed over it: a full disk leaves the old file.
  const fs::path partial = result.Written.string() + ".partial";
  try {
    WriteAll(partial, converted, result.Written);
    fs::rename(partial, result.Written);
  } catch (const fs::filesystem_error& e) {
    fs::remove(partial, ec);
    throw RunError("cannot write " + result.Written.string() + ": " + e.code().message());
  } catch (...) {
    fs::remove(partial, ec);
    throw;
  }
  return result;
}

fs::path MakeLanguage(const fs::path& givenFrom, const std::string& language,
                      const fs::path& into) {
  CheckName(language);
  fs::path from = givenFrom;
  if (from.filename().empty()) from = from.parent_path();
  std::error_code ec;
  const std::string fromFolder = from.filename().string();
  if (!fs::is_directory(from, ec) || !fromFolder.starts_with(kFolderPrefix))
    throw UsageError("cannot copy " + from.string() + ": not a \"Parlan <language>\" folder");
  if (!fs::is_directory(into, ec))
    throw UsageError("cannot make the language in " + into.string() + ": not a folder");
  const std::u16string fromName = U16(fromFolder.substr(kFolderPrefix.size()));
  const std::u16string name = U16(language);
  for (const char16_t* suffix : kSuffixes)
    if (!fs::is_regular_file(from / (fromName + suffix), ec))
      throw UsageError("cannot copy " + from.string() + ": it has no " + ToUtf8(fromName + suffix));
  const fs::path made = (into / ("Parlan " + language)).lexically_normal();
  if (fs::exists(fs::symlink_status(made, ec)))
    throw UsageError(made.string() + " exists already: choose another name or remove it");
  // Built beside its final place and renamed, so that a failure leaves no half-made language.
  const fs::path building = (into / (".Parlan " + language + ".new")).lexically_normal();
  fs::remove_all(building, ec);
  if (!fs::create_directory(building, ec))
    throw RunError("cannot make " + building.string() + ": " + ec.message());
  try {
    WriteLanguageFiles(from, fromName, building, name);
    WriteAll(PronunciationTestsFile(building), StarterTests(from, fromName, name));
    fs::rename(building, made);
  } catch (const fs::filesystem_error& e) {
    fs::remove_all(building, ec);
    throw RunError("cannot make " + made.string() + ": " + e.code().message());
  } catch (...) {
    fs::remove_all(building, ec);
    throw;
  }
  return made;
}

}  // namespace parlan::cli
