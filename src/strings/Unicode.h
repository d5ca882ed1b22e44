// UTF-8 / UTF-16 conversion and case handling through ICU.
#pragma once

#include <string>
#include <string_view>

namespace parlan {

// Strict conversion: false when the bytes are not valid UTF-8.
bool Utf8ToUtf16(std::string_view utf8, std::u16string& out);

// Lenient conversion for configuration lines: valid UTF-8 is decoded as such, anything else is
// read as Latin-1 byte by byte.
std::u16string Utf8OrLatin1ToUtf16(std::string_view bytes);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Appends one code point as UTF-8 (a surrogate or a value beyond U+10FFFF as U+FFFD).
void AppendUtf8(std::string& out, char32_t c);

// Shorthand for literals and trusted UTF-8 in code and tests.
std::u16string U16(std::string_view utf8);

// Full Unicode lower case (root locale).
std::u16string LowerCase(std::u16string_view text);

// Case-insensitive comparison (full case folding).
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

// True when `text` begins with `prefix`, compared without regard to case.
bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix);

// 1-based position of needle in hay compared without regard to case; 0 when absent or empty.
size_t InStrIgnoreCase(std::u16string_view hay, std::u16string_view needle);

}  // namespace parlan
