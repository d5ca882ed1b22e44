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
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError(CannotRead(path.string()));
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw UsageError(CannotRead(path.string()));
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

bool EndsSentence(std::u16string_view line) {
  size_t end = line.find_last_not_of(u" \t\r\"')])\u201D\u2019");
  if (end == std::u16string_view::npos) return false;
  if (line[end] == u'!' || line[end] == u'?') return true;
  if (line[end] != u'.') return false;
  size_t letters = 0;
  while (letters < end && line[end - 1 - letters] >= u'a' && line[end - 1 - letters] <= u'z')
    ++letters;
  if (letters < 4) return false;
  size_t start = end - letters;
  return start == 0 || line[start - 1] == u' ' || line[start - 1] == u'\t' ||
         line[start - 1] == u'"' || line[start - 1] == u'(';
}

TextReader::TextReader(const TextSource& source, std::istream& standardInput) {
  if (!source.Words.empty() && !source.File.empty())
    throw UsageError("give the text either as arguments or with -f, not both");
  if (!source.Words.empty()) {
    words_ = GatherText(source, standardInput);
    fromWords_ = true;
  } else if (!source.File.empty() && source.File != "-") {
    const std::filesystem::path path(source.File);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
      throw UsageError("cannot read " + path.string() + ": it is a folder");
    errno = 0;
    file_.open(path, std::ios::binary);
    if (!file_) throw UsageError(CannotRead(path.string()));
    in_ = &file_;
    name_ = source.File;
    minimum_ = kFilePiece;
  } else {
    in_ = &standardInput;
    name_ = "standard input";
    lineByLine_ = source.LineByLine;
  }
}

// The bytes up to the next line break (dropped), or a part of a long line: up to a blank once
// kLongestLine bytes were read, else before the next character once four times as many were.
TextReader::LineEnd TextReader::ReadBytes(std::string& bytes) {
  bytes.clear();
  std::streambuf* buffer = in_->rdbuf();
  if (!buffer) return LineEnd::None;
  try {
    for (;;) {
      const int c = buffer->sbumpc();
      if (c == std::char_traits<char>::eof()) return bytes.empty() ? LineEnd::None : LineEnd::End;
      if (c == '\n') return LineEnd::Break;
      bytes.push_back(static_cast<char>(c));
      if (bytes.size() >= kLongestLine && (c == ' ' || c == '\t')) return LineEnd::Cut;
      if (bytes.size() >= 4 * kLongestLine && (buffer->sgetc() & 0xC0) != 0x80) return LineEnd::Cut;
    }
  } catch (...) {
    // A file buffer reports a failed read by throwing.
  }
  throw UsageError(CannotRead(name_));
}

// One line without its line break (or a part of a long line), decoded, with a blank for the line
// break when there was one.
bool TextReader::ReadLine(std::u16string& line) {
  std::string bytes;
  const LineEnd end = ReadBytes(bytes);
  if (end == LineEnd::None) return false;
  std::string_view view(bytes);
  if (first_ && view.starts_with("\xEF\xBB\xBF")) view.remove_prefix(3);
  first_ = false;
  line.clear();
  if (!Utf8ToUtf16(view, line)) {
    std::string rest(view);
    throw UsageError(name_ + " is not valid UTF-8 (byte " +
                     std::to_string(offset_ + FirstInvalidUtf8(rest) + 1) + ")");
  }
  offset_ += view.size() + (end == LineEnd::Break ? 1 : 0);
  if (end == LineEnd::Break) line.push_back(u' ');
  return true;
}

bool TextReader::Next(std::u16string& piece) {
  piece.clear();
  if (done_) return false;
  if (fromWords_) {
    done_ = true;
    piece = std::move(words_);
    return true;
  }
  std::u16string line;
  while (ReadLine(line)) {
    for (char16_t& c : line)
      if (c == u'\r' || c == u'\t') c = u' ';
    if (!anyText_ && line.find_first_not_of(u' ') != std::u16string::npos) anyText_ = true;
    piece += line;
    if (!anyText_) continue;
    if ((piece.size() >= minimum_ && EndsSentence(line)) || piece.size() >= kLongestPiece ||
        lineByLine_)
      return true;
  }
  done_ = true;
  if (!anyText_) throw UsageError("no text to speak");
  return piece.find_first_not_of(u' ') != std::u16string::npos;
}

}  // namespace parlan::cli
