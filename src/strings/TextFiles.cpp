#include "strings/TextFiles.h"

#include <fstream>
#include <iterator>

#include "strings/Unicode.h"

namespace parlan {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool ReadBytes(const std::filesystem::path& path, std::string& bytes) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Invalid sequences become U+FFFD, so that one bad byte costs one character, not the file.
std::u16string DecodeUtf8Lenient(std::string_view bytes) {
  std::u16string text;
  if (Utf8ToUtf16(bytes, text)) return text;
  text.clear();
  size_t i = 0;
  while (i < bytes.size()) {
    size_t length = 1;
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead >= 0xF0)
      length = 4;
    else if (lead >= 0xE0)
      length = 3;
    else if (lead >= 0xC0)
      length = 2;
    std::u16string piece;
    if (i + length <= bytes.size() && Utf8ToUtf16(bytes.substr(i, length), piece)) {
      text += piece;
      i += length;
    } else {
      text.push_back(u'\uFFFD');
      ++i;
    }
  }
  return text;
}

}  // namespace

bool Utf16LineReader::Open(const std::filesystem::path& path) {
  Close();
  std::string bytes;
  if (!ReadBytes(path, bytes)) return false;
  if (HasUtf8Mark(bytes)) {
    // A file that a developer saved as UTF-8: the mark is what tells it from UTF-16, whose
    // reading stays exactly as it was for every file without it.
    text_ = DecodeUtf8Lenient(std::string_view(bytes).substr(kUtf8Mark.size()));
    next_ = 0;
    open_ = true;
    return true;
  }
  // Sized once and filled in place: a language file is decoded at every mode change.
  text_.assign(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < text_.size(); ++i) {
    auto lo = static_cast<unsigned char>(bytes[2 * i]);
    auto hi = static_cast<unsigned char>(bytes[2 * i + 1]);
    text_[i] = static_cast<char16_t>(lo | (hi << 8));
  }
  next_ = (!text_.empty() && text_.front() == u'\uFEFF') ? 1 : 0;
  // A last line without a line end is still a line; a file ending in a line end has no
  // empty line after it.
  open_ = true;
  return true;
}

bool Utf16LineReader::ReadLine(std::u16string& line) {
  if (!open_ || next_ >= text_.size()) return false;
  size_t lf = text_.find(u'\n', next_);
  size_t end = lf == std::u16string::npos ? text_.size() : lf;
  size_t contentEnd = (end > next_ && text_[end - 1] == u'\r') ? end - 1 : end;
  line.assign(text_, next_, contentEnd - next_);
  next_ = lf == std::u16string::npos ? text_.size() : lf + 1;
  return true;
}

void Utf16LineReader::Close() {
  text_.clear();
  next_ = 0;
  open_ = false;
}

bool ReadConfigLines(const std::filesystem::path& path, std::vector<std::u16string>& lines) {
  std::string bytes;
  if (!ReadBytes(path, bytes)) return false;
  lines.clear();
  size_t start = 0;
  while (start < bytes.size()) {
    size_t lf = bytes.find('\n', start);
    size_t end = lf == std::string::npos ? bytes.size() : lf;
    size_t contentEnd = (end > start && bytes[end - 1] == '\r') ? end - 1 : end;
    lines.push_back(Utf8OrLatin1ToUtf16(std::string_view(bytes).substr(start, contentEnd - start)));
    start = lf == std::string::npos ? bytes.size() : lf + 1;
  }
  return true;
}

bool HasUtf8Mark(std::string_view bytes) {
  return bytes.starts_with(kUtf8Mark);
}

std::string EncodeUtf16Le(std::u16string_view text, bool withBom) {
  std::string out;
  out.reserve(text.size() * 2 + 2);
  auto put = [&](char16_t c) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  };
  if (withBom) put(u'\uFEFF');
  for (char16_t c : text) put(c);
  return out;
}

}  // namespace parlan
