// The text a command speaks: the words of the command line, a file, or standard input; UTF-8
// outside, UTF-16 inside.
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <istream>
#include <string>

#include "Options.h"

namespace parlan::cli {

// Reads the whole file as bytes; throws UsageError naming the file when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// Decodes UTF-8 strictly (a leading byte-order mark is dropped); throws UsageError naming
// `source` and the byte offset of the first invalid sequence.
std::u16string DecodeUtf8Text(const std::string& bytes, const std::string& source);

// The text to speak: the words joined by blanks, or the file, or all of `standardInput`, with
// line breaks and tabs turned into blanks.
// Throws UsageError for unreadable or invalid input, for words together with -f, and when there
// is no text at all.
std::u16string GatherText(const TextSource& source, std::istream& standardInput);

// The same text read piece by piece, so that speaking starts before the input has ended and
// memory does not grow with it. Lines are read as they arrive; a piece ends with a line that
// closes a sentence (see EndsSentence), from standard input at once and from a file once the
// piece holds about a paragraph, and in any case once it holds kLongestPiece characters (a line
// without line breaks is taken in parts of about kLongestLine bytes). The pieces joined give the
// text GatherText gives; from a terminal (LineByLine) every line is a piece, as it is typed; the
// same errors are thrown, an invalid byte when
// its line is read.
class TextReader {
 public:
  static constexpr size_t kFilePiece = 4096;
  static constexpr size_t kLongestPiece = 1 << 16;
  // A line longer than this many bytes is read in parts, cut after a blank; one without blanks
  // is cut between two characters once it is four times as long.
  static constexpr size_t kLongestLine = 1 << 16;

  TextReader(const TextSource& source, std::istream& standardInput);

  // The next piece; false when the text has ended. Throws UsageError as GatherText does.
  bool Next(std::u16string& piece);
  // Each line is a piece: standard input is a terminal.
  bool LineByLine() const { return lineByLine_; }

 private:
  enum class LineEnd { None, Break, Cut, End };
  bool ReadLine(std::u16string& line);
  LineEnd ReadBytes(std::string& bytes);

  std::ifstream file_;
  std::istream* in_ = nullptr;
  std::string name_;
  std::u16string words_;
  bool fromWords_ = false;
  size_t minimum_ = 0;
  size_t offset_ = 0;  // bytes read so far, after a byte-order mark
  bool lineByLine_ = false;
  bool first_ = true;
  bool anyText_ = false;
  bool done_ = false;
};

// Whether a line, read up to its line break, closes a sentence: it ends, after closing quotes
// and brackets, in "!", "?", or "." after a lower-case word of four letters or more. Shorter
// words before a dot are often abbreviations that the language file reads together with the
// next line ("etc.", "Mr.", "a.m."): a piece ending there would end the phrase early.
bool EndsSentence(std::u16string_view line);

}  // namespace parlan::cli
