#include "strings/Unicode.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <vector>

namespace parlan {

static_assert(sizeof(UChar) == sizeof(char16_t));

bool Utf8ToUtf16(std::string_view utf8, std::u16string& out) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strFromUTF8(nullptr, 0, &length, utf8.data(), static_cast<int32_t>(utf8.size()), &status);
  if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return false;
  std::u16string result(static_cast<size_t>(length), u'\0');
  status = U_ZERO_ERROR;
  u_strFromUTF8(reinterpret_cast<UChar*>(result.data()), length, nullptr, utf8.data(),
                static_cast<int32_t>(utf8.size()), &status);
  if (U_FAILURE(status)) return false;
  out = std::move(result);
  return true;
}

std::u16string Utf8OrLatin1ToUtf16(std::string_view bytes) {
  std::u16string out;
  if (Utf8ToUtf16(bytes, out)) return out;
  out.clear();
  for (unsigned char b : bytes) out.push_back(static_cast<char16_t>(b));
  return out;
}

std::string ToUtf8(std::u16string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  const auto* src = reinterpret_cast<const UChar*>(text.data());
  auto srcLength = static_cast<int32_t>(text.size());
  u_strToUTF8WithSub(nullptr, 0, &length, src, srcLength, 0xFFFD, nullptr, &status);
  std::string result(static_cast<size_t>(length), '\0');
  status = U_ZERO_ERROR;
  u_strToUTF8WithSub(result.data(), length, nullptr, src, srcLength, 0xFFFD, nullptr, &status);
  return U_FAILURE(status) ? std::string() : result;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || U_IS_SURROGATE(c)) c = 0xFFFD;
  uint8_t bytes[U8_MAX_LENGTH];
  int32_t length = 0;
  U8_APPEND_UNSAFE(bytes, length, c);
  out.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
}

std::u16string U16(std::string_view utf8) {
  return Utf8OrLatin1ToUtf16(utf8);
}

std::u16string LowerCase(std::u16string_view text) {
  if (text.empty()) return {};
  // Plain ASCII lower-cases the same in every locale: no need to ask ICU, twice.
  if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; })) {
    std::u16string result(text);
    for (char16_t& c : result)
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    return result;
  }
  const auto* src = reinterpret_cast<const UChar*>(text.data());
  auto srcLength = static_cast<int32_t>(text.size());
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = u_strToLower(nullptr, 0, src, srcLength, "", &status);
  std::u16string result(static_cast<size_t>(length), u'\0');
  status = U_ZERO_ERROR;
  u_strToLower(reinterpret_cast<UChar*>(result.data()), length, src, srcLength, "", &status);
  return U_FAILURE(status) ? std::u16string(text) : result;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  // ICU rejects a null pointer even with length 0, which an empty view may carry.
  auto chars = [](std::u16string_view v) {
    return reinterpret_cast<const UChar*>(v.empty() ? u"" : v.data());
  };
  UErrorCode status = U_ZERO_ERROR;
  int32_t r = u_strCaseCompare(chars(a), static_cast<int32_t>(a.size()), chars(b),
                               static_cast<int32_t>(b.size()), U_FOLD_CASE_DEFAULT, &status);
  return U_SUCCESS(status) && r == 0;
}

bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix) {
  if (prefix.size() > text.size()) return false;
  return EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

size_t InStrIgnoreCase(std::u16string_view hay, std::u16string_view needle) {
  if (needle.empty() || needle.size() > hay.size()) return 0;
  for (size_t i = 0; i + needle.size() <= hay.size(); ++i)
    if (EqualsIgnoreCase(hay.substr(i, needle.size()), needle)) return i + 1;
  return 0;
}

}  // namespace parlan
