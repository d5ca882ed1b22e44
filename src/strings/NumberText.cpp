#include "strings/NumberText.h"

#include <locale.h>
#include <stdlib.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>

namespace parlan {
namespace {

// Parses a well-formed decimal number with a point as separator, whatever locale the host set.
// Too large gives an infinity (which fits no narrower type), too small gives 0.
double ParseCNumber(const std::string& number) {
  locale_t c = newlocale(LC_NUMERIC_MASK, "C", locale_t(0));
  if (c == locale_t(0)) return 0.0;
  double value = strtod_l(number.c_str(), nullptr, c);
  freelocale(c);
  return value;
}

}  // namespace

std::u16string FormatSigned(int64_t value) {
  std::string digits = std::to_string(value);
  std::u16string out;
  if (value >= 0) out.push_back(u' ');
  for (char c : digits) out.push_back(static_cast<char16_t>(c));
  return out;
}

double LeadingNumber(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  std::string number;
  auto digit = [&](size_t k) { return k < text.size() && text[k] >= u'0' && text[k] <= u'9'; };
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) number.push_back(char(text[i++]));
  bool sawDigit = false;
  while (digit(i)) {
    number.push_back(char(text[i++]));
    sawDigit = true;
  }
  if (i < text.size() && text[i] == u'.') {
    number.push_back('.');
    ++i;
    while (digit(i)) {
      number.push_back(char(text[i++]));
      sawDigit = true;
    }
  }
  if (!sawDigit) return 0.0;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    size_t k = i + 1;
    std::string exponent = "e";
    if (k < text.size() && (text[k] == u'-' || text[k] == u'+'))
      exponent.push_back(char(text[k++]));
    if (digit(k)) {
      while (digit(k)) exponent.push_back(char(text[k++]));
      number += exponent;
    }
  }
  return ParseCNumber(number);
}

double RoundHalfEven(double value) {
  // nearbyint follows the current rounding mode, which is to-nearest-even by default.
  return std::nearbyint(value);
}

std::optional<int16_t> NarrowTo16(int64_t value) {
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
    return std::nullopt;
  return static_cast<int16_t>(value);
}

std::optional<int16_t> NarrowTo16(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double r = RoundHalfEven(value);
  if (r < -32768.0 || r > 32767.0) return std::nullopt;
  return static_cast<int16_t>(r);
}

}  // namespace parlan
