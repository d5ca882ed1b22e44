#include "strings/StringFunctions.h"

#include <algorithm>

namespace parlan {

std::u16string NextTokenAt(std::u16string_view text, size_t& pos, int32_t& kind) {
  while (pos < text.size() && text[pos] == u'/') ++pos;
  kind = kWord;
  if (pos >= text.size()) return {};
  size_t slash = text.find(u'/', pos);
  std::u16string_view source;
  if (slash == std::u16string_view::npos) {
    source = text.substr(pos);
    pos = text.size();
  } else {
    source = text.substr(pos, slash - pos);
    pos = slash + 1;
  }
  switch (source.front()) {
    case u'*':
      kind = kMark;
      return std::u16string(source);
    case u'<':
      kind = kTag;
      return std::u16string(source);
    case u'[':
      kind = kPhonemeBlock;
      // The bracket test looks only at the first character: the last one goes whatever it is.
      return source.size() >= 2 ? std::u16string(source.substr(1, source.size() - 2))
                                : std::u16string();
    default:
      return std::u16string(source);
  }
}

std::u16string NextToken(std::u16string& text, int32_t& kind) {
  size_t pos = 0;
  std::u16string token = NextTokenAt(text, pos, kind);
  text.erase(0, pos);
  return token;
}

bool IsBlank(std::u16string_view t) {
  if (t.empty()) return true;
  return std::u16string_view(u" \t_").find(t) != std::u16string_view::npos;
}

std::u16string ReverseText(std::u16string_view t) {
  return std::u16string(t.rbegin(), t.rend());
}

bool IsDigitChar(std::u16string_view t) {
  if (t.empty()) return true;
  return std::u16string_view(u"0123456789").find(t) != std::u16string_view::npos;
}

bool IsDigitChar(std::u16string_view t, const DigitSet& digits) {
  if (IsDigitChar(t)) return true;
  if (!digits.OwnDigits) return false;
  return std::any_of(digits.DigitStrings.begin(), digits.DigitStrings.end(),
                     [&](const std::u16string& d) { return d.find(t) != std::u16string::npos; });
}

std::u16string RemoveSpaces(std::u16string_view t) {
  std::u16string out;
  out.reserve(t.size());
  for (char16_t c : t)
    if (c != u' ') out.push_back(c);
  return out;
}

size_t InStr(std::u16string_view hay, std::u16string_view needle, size_t start) {
  if (needle.empty() || start == 0 || start > hay.size()) return 0;
  size_t p = hay.find(needle, start - 1);
  return p == std::u16string_view::npos ? 0 : p + 1;
}

size_t InStrChar(std::u16string_view hay, char16_t c) {
  size_t p = hay.find(c);
  return p == std::u16string_view::npos ? 0 : p + 1;
}

void RightTrimSpaces(std::u16string& t) {
  size_t end = t.find_last_not_of(u' ');
  t.erase(end == std::u16string::npos ? 0 : end + 1);
}

std::u16string TrimSpaces(std::u16string_view t) {
  size_t first = t.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return {};
  size_t last = t.find_last_not_of(u' ');
  return std::u16string(t.substr(first, last - first + 1));
}

}  // namespace parlan
