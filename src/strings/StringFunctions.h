// The small text functions shared by the letter rules, the normalisation passes, the exception
// dictionary and the speak pipeline. Positions are 1-based; 0 means "not found".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace parlan {

// Kinds of token in prepared text.
enum TokenKind : int32_t {
  kPhonemeBlock = 1,  // "[" ... "]", handed on without its brackets
  kMark = 2,          // "*" and one character
  kTag = 3,           // starts with "<"
  kWord = 4,          // anything else
};

// Takes the next token off the front of prepared text (tokens separated by "/"), removing the
// token and the "/" after it. Returns the empty token when no text is left.
std::u16string NextToken(std::u16string& text, int32_t& kind);

// Same, reading from a position instead of shrinking the string, so that a walk over a long
// chunk costs time in proportion to the chunk. `pos` is a 0-based offset into `text`.
std::u16string NextTokenAt(std::u16string_view text, size_t& pos, int32_t& kind);

// True when t occurs in " \t_" (a space, a tab or an underscore); the empty text counts as blank.
bool IsBlank(std::u16string_view t);

std::u16string ReverseText(std::u16string_view t);

// A language's digits: ten strings for 0..9 and whether they differ from the ASCII digits.
struct DigitSet {
  bool OwnDigits = false;
  std::array<std::u16string, 10> DigitStrings;
};

// True when t occurs in "0123456789", or, with own digits, in one of the digit strings.
// The empty text counts as a digit.
bool IsDigitChar(std::u16string_view t, const DigitSet& digits);
bool IsDigitChar(std::u16string_view t);

// t without any U+0020 space; tabs and other white space stay.
std::u16string RemoveSpaces(std::u16string_view t);

// 1-based position of the first occurrence of needle in hay at or after 1-based `start`;
// 0 when absent. An empty needle is never found, so search loops over it always end.
size_t InStr(std::u16string_view hay, std::u16string_view needle, size_t start = 1);

// 1-based position of the character c in hay; 0 when absent.
size_t InStrChar(std::u16string_view hay, char16_t c);

// Removes trailing U+0020 spaces.
void RightTrimSpaces(std::u16string& t);

// Removes leading and trailing U+0020 spaces.
std::u16string TrimSpaces(std::u16string_view t);

}  // namespace parlan
