// Reading a language file for the checks, and telling a UTF-16 little-endian file from the
// other encodings a text editor may have saved it in.
#include <fstream>
#include <iterator>

#include "CheckContext.h"
#include "CliErrors.h"
#include "strings/TextFiles.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

constexpr char kMustBe[] =
    "; language files must be UTF-16 little-endian, or UTF-8 beginning with a byte-order mark "
    "(parlan convert turns a file either way)";

// Names the encoding the bytes are in when it is plainly not UTF-16 little-endian; "" otherwise.
std::string WrongEncoding(const std::string& bytes) {
  if (bytes.starts_with("\xFE\xFF")) return "is UTF-16 big-endian (byte-order mark FE FF)";
  if (bytes.empty()) return "";
  // Text in UTF-16 little-endian keeps the NUL high bytes of its ASCII characters (every keyword
  // of a language file is ASCII) at odd offsets; big-endian keeps them at even offsets; UTF-8 and
  // ASCII have none.
  size_t evenNuls = 0;
  size_t oddNuls = 0;
  for (size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\0') ++(i % 2 == 0 ? evenNuls : oddNuls);
  if (evenNuls == 0 && oddNuls == 0) return "has no NUL bytes: it looks like UTF-8 or ASCII text";
  if (evenNuls > oddNuls) return "looks like UTF-16 big-endian (NUL bytes at even offsets)";
  return "";
}

bool HasUnpairedSurrogate(std::u16string_view line) {
  for (size_t i = 0; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= line.size() || line[i + 1] < 0xDC00 || line[i + 1] > 0xDFFF) return true;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

// The loader reads each invalid byte as U+FFFD; the developer meant something else there.
void ReportInvalidUtf8(const std::string& bytes, const std::string& shown, Problems& problems) {
  std::u16string decoded;
  size_t start = 0;
  for (int line = 1; start < bytes.size(); ++line) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    if (!Utf8ToUtf16(std::string_view(bytes).substr(start, end - start), decoded))
      problems.Add(shown, line, "not valid UTF-8: the loader reads the bad bytes as U+FFFD");
    start = end + 1;
  }
}

}  // namespace

CheckedFile ReadLanguageFile(const std::filesystem::path& path, const std::string& shown,
                             Problems& problems) {
  CheckedFile file{path, shown, {}, false};
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    problems.Add(shown, 0, "missing");
    return file;
  }
  // Looked at before it is opened: opening a FIFO waits for a writer for ever, and reading a
  // folder throws.
  if (!std::filesystem::is_regular_file(path, ec)) {
    problems.Add(shown, 0, "not a regular file");
    return file;
  }
  std::ifstream in(path, std::ios::binary);
  std::string bytes;
  if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in || in.bad() || std::filesystem::is_directory(path, ec)) {
    problems.Add(shown, 0, UnreadableFile());
    return file;
  }
  const bool utf8 = HasUtf8Mark(bytes);
  if (std::string wrong = utf8 ? "" : WrongEncoding(bytes); !wrong.empty()) {
    problems.Add(shown, 1, wrong + kMustBe);
    return file;
  }
  if (utf8) ReportInvalidUtf8(bytes, shown, problems);
  if (!utf8 && bytes.size() % 2 != 0)
    problems.Add(shown, 0,
                 "has an odd number of bytes (" + std::to_string(bytes.size()) +
                     "): the last byte is not part of any UTF-16 character");
  Utf16LineReader reader;
  if (!reader.Open(path)) {
    problems.Add(shown, 0, UnreadableFile());
    return file;
  }
  std::u16string line;
  while (reader.ReadLine(line)) {
    file.Lines.push_back(line);
    if (HasUnpairedSurrogate(line))
      problems.Add(shown, static_cast<int>(file.Lines.size()),
                   "unpaired surrogate: the line is not valid UTF-16");
  }
  reader.Close();
  file.Readable = true;
  return file;
}

}  // namespace parlan::cli
