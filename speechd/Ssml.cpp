#include "Ssml.h"

#include <unicode/utf8.h>

#include <cctype>
#include <cstdint>

namespace parlan::speechd {

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  char buf[4];
  int32_t len = 0;
  UBool error = false;
  U8_APPEND(reinterpret_cast<uint8_t*>(buf), len, 4, static_cast<UChar32>(cp), error);
  if (!error) out.append(buf, static_cast<size_t>(len));
}

// The code point of a numeric reference body ("#65", "#x41"), or -1.
long NumericReference(std::string_view body) {
  if (body.size() < 2 || body[0] != '#') return -1;
  const bool hex = body[1] == 'x' || body[1] == 'X';
  const std::string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return -1;
  long value = 0;
  for (char c : digits) {
    const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                  : hex && std::isxdigit(static_cast<unsigned char>(c))
                      ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                      : -1;
    if (d < 0) return -1;
    value = value * (hex ? 16 : 10) + d;
  }
  return value;
}

// The value of attribute `name` in the inside of a tag, entities decoded.
std::string Attribute(std::string_view tag, std::string_view name) {
  size_t at = 0;
  while ((at = tag.find(name, at)) != std::string_view::npos) {
    const bool startsWord = at == 0 || std::isspace(static_cast<unsigned char>(tag[at - 1]));
    size_t p = at + name.size();
    while (p < tag.size() && std::isspace(static_cast<unsigned char>(tag[p]))) ++p;
    if (!startsWord || p >= tag.size() || tag[p] != '=') {
      at += name.size();
      continue;
    }
    ++p;
    while (p < tag.size() && std::isspace(static_cast<unsigned char>(tag[p]))) ++p;
    if (p >= tag.size()) return "";
    const char quote = tag[p];
    if (quote != '"' && quote != '\'') {
      size_t e = p;
      while (e < tag.size() && !std::isspace(static_cast<unsigned char>(tag[e])) && tag[e] != '/')
        ++e;
      return DecodeEntities(tag.substr(p, e - p));
    }
    const size_t close = tag.find(quote, p + 1);
    if (close == std::string_view::npos) return DecodeEntities(tag.substr(p + 1));
    return DecodeEntities(tag.substr(p + 1, close - p - 1));
  }
  return "";
}

// The element name of a tag's inside ("mark name='x'/" gives "mark"), lower case.
std::string ElementName(std::string_view tag) {
  size_t p = 0;
  if (p < tag.size() && tag[p] == '/') ++p;
  std::string name;
  while (p < tag.size() && (std::isalnum(static_cast<unsigned char>(tag[p])) || tag[p] == ':' ||
                            tag[p] == '-' || tag[p] == '_'))
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(tag[p++])));
  return name;
}

bool Blank(std::string_view text) {
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) return false;
  return true;
}

void Flush(std::string& text, std::vector<MessagePart>& parts) {
  if (!Blank(text)) parts.push_back(MessagePart{false, DecodeEntities(text)});
  text.clear();
}

}  // namespace

std::string DecodeEntities(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t semi = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
    if (semi == std::string_view::npos || semi - i > 12) {
      out += text[i];
      continue;
    }
    const std::string_view body = text.substr(i + 1, semi - i - 1);
    bool done = false;
    for (const auto& [name, c] : kNamed)
      if (body == name) {
        out += c;
        done = true;
      }
    if (!done) {
      const long cp = NumericReference(body);
      if (cp < 0) {
        out += text[i];
        continue;
      }
      AppendUtf8(out, static_cast<uint32_t>(cp));
    }
    i = semi;
  }
  return out;
}

std::vector<MessagePart> ParseSsml(std::string_view ssml) {
  std::vector<MessagePart> parts;
  std::string text;
  size_t i = 0;
  while (i < ssml.size()) {
    if (ssml[i] != '<') {
      text += ssml[i++];
      continue;
    }
    if (ssml.substr(i, 4) == "<!--") {
      const size_t end = ssml.find("-->", i + 4);
      i = end == std::string_view::npos ? ssml.size() : end + 3;
      continue;
    }
    const size_t end = ssml.find('>', i + 1);
    const std::string_view tag =
        ssml.substr(i + 1, (end == std::string_view::npos ? ssml.size() : end) - i - 1);
    i = end == std::string_view::npos ? ssml.size() : end + 1;
    if (ElementName(tag) == "mark" && (tag.empty() || tag[0] != '/')) {
      Flush(text, parts);
      parts.push_back(MessagePart{true, Attribute(tag, "name")});
      continue;
    }
    text += ' ';  // element boundaries separate words
  }
  Flush(text, parts);
  return parts;
}

}  // namespace parlan::speechd
