#include "TextInput.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "CliErrors.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

// Byte offset of the first byte that does not start or continue a valid UTF-8 sequence.
size_t FirstInvalidUtf8(const std::string& bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    size_t length = c < 0x80           ? 1
                    : (c >> 5) == 0x6  ? 2
                    : (c >> 4) == 0xE  ? 3
                    : (c >> 3) == 0x1E ? 4
                                       : 0;
    if (length == 0 || i + length > bytes.size()) return i;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return i;
    i += length;
  }
  return i;
}

}  // namespace

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    throw UsageError("cannot read " + path.string() + ": it is a folder");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError("cannot read " + path.string());
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw UsageError("cannot read " + path.string());
  return bytes;
}

std::u16string DecodeUtf8Text(const std::string& bytes, const std::string& source) {
  std::string_view view(bytes);
  if (view.starts_with("\xEF\xBB\xBF")) view.remove_prefix(3);
  std::u16string text;
  if (!Utf8ToUtf16(view, text)) {
    std::string rest(view);
    throw UsageError(source + " is not valid UTF-8 (byte " +
                     std::to_string(FirstInvalidUtf8(rest) + 1) + ")");
  }
  return text;
}

std::u16string GatherText(const TextSource& source, std::istream& standardInput) {
  if (!source.Words.empty() && !source.File.empty())
    throw UsageError("give the text either as arguments or with -f, not both");
  std::u16string text;
  if (!source.Words.empty()) {
    std::string joined;
    for (const std::string& word : source.Words) {
      if (!joined.empty()) joined.push_back(' ');
      joined += word;
    }
    text = DecodeUtf8Text(joined, "the text");
  } else if (!source.File.empty() && source.File != "-") {
    text = DecodeUtf8Text(ReadFileBytes(source.File), source.File);
  } else {
    std::ostringstream all;
    all << standardInput.rdbuf();
    text = DecodeUtf8Text(all.str(), "standard input");
  }
  // The control cuts words at blanks only: line breaks and tabs of a text file become blanks.
  for (char16_t& c : text)
    if (c == u'\r' || c == u'\n' || c == u'\t') c = u' ';
  if (text.find_first_not_of(u' ') == std::u16string::npos) throw UsageError("no text to speak");
  return text;
}

}  // namespace parlan::cli
