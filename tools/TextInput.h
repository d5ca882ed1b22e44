// The text a command speaks: the words of the command line, a file, or standard input; UTF-8
// outside, UTF-16 inside.
#pragma once

#include <filesystem>
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

}  // namespace parlan::cli
