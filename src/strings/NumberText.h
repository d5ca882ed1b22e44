// Numbers written into texts, and numbers read from the front of configuration values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parlan {

// Signed decimal with a leading blank when not negative: 5 -> " 5", -5 -> "-5".
std::u16string FormatSigned(int64_t value);

// The number a text begins with: leading blanks skipped, reading stops at the first character
// that cannot continue the number (sign, digits, one decimal point, an exponent). A text that
// does not begin with a number gives 0.
double LeadingNumber(std::u16string_view text);

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// Narrows to 16 bits; nothing when the value does not fit.
std::optional<int16_t> NarrowTo16(int64_t value);
std::optional<int16_t> NarrowTo16(double value);

}  // namespace parlan
