// Line readers for the language files: UTF-16 little-endian rule files and 8-bit
// configuration files. Files are opened read-only and never created.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace parlan {

// Reads a UTF-16 little-endian file line by line. A line ends at CR LF or LF; a byte-order
// mark at the start of the file is skipped. A file that begins with the UTF-8 byte-order mark
// is read as UTF-8 instead (invalid bytes become U+FFFD). Reading past the last line fails, which
// is what the loaders take for a file that ended too soon.
class Utf16LineReader {
 public:
  // False when the file does not exist or cannot be read.
  bool Open(const std::filesystem::path& path);
  // False when no line is left (or the file is not open).
  bool ReadLine(std::u16string& line);
  bool AtEnd() const { return !open_ || next_ >= text_.size(); }
  void Close();
  bool IsOpen() const { return open_; }

 private:
  std::u16string text_;
  size_t next_ = 0;
  bool open_ = false;
};

// Reads a whole file of 8-bit lines (UTF-8, or Latin-1 where the bytes are not UTF-8).
// Line ends (CR LF or LF) are removed; nothing else is trimmed. False when unreadable.
bool ReadConfigLines(const std::filesystem::path& path, std::vector<std::u16string>& lines);

// True when the bytes begin with the UTF-8 byte-order mark, which makes a language file UTF-8.
bool HasUtf8Mark(std::string_view bytes);

// Encodes text as UTF-16 little-endian bytes (no byte-order mark); used by tools and tests that
// write language files.
std::string EncodeUtf16Le(std::u16string_view text, bool withBom = false);

}  // namespace parlan
