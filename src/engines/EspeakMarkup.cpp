#include "engines/EspeakMarkup.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <optional>

namespace parlan::engines {

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

std::u16string Lower(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return out;
}

// Decodes the entity starting at text[i] ("&...;"); the character and the length consumed.
std::optional<std::pair<char32_t, size_t>> Entity(std::u16string_view text, size_t i) {
  const size_t semi = text.find(u';', i);
  if (semi == std::u16string_view::npos || semi - i > 10) return std::nullopt;
  const std::u16string name = Lower(text.substr(i + 1, semi - i - 1));
  const size_t used = semi - i + 1;
  if (name == u"lt") return std::pair{U'<', used};
  if (name == u"gt") return std::pair{U'>', used};
  if (name == u"amp") return std::pair{U'&', used};
  if (name == u"quot") return std::pair{U'"', used};
  if (name == u"apos") return std::pair{U'\'', used};
  if (name.size() < 2 || name[0] != u'#') return std::nullopt;
  const bool hex = name[1] == u'x';
  char32_t value = 0;
  for (size_t k = hex ? 2 : 1; k < name.size(); ++k) {
    const char16_t c = name[k];
    int digit = -1;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (hex && c >= u'a' && c <= u'f')
      digit = c - u'a' + 10;
    if (digit < 0 || value > 0x10FFFF) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
  }
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
  return std::pair{value, used};
}

void AppendChar(SourceText& out, char32_t c, int32_t position) {
  if (c < 0x10000) {
    out.Append(static_cast<char16_t>(c), position);
  } else {
    out.Append(static_cast<char16_t>(U16_LEAD(c)), position);
    out.Append(static_cast<char16_t>(U16_TRAIL(c)), position);
  }
}

// Appends text[from, to) decoding entities; each character keeps its position in `text`.
void AppendDecoded(SourceText& out, std::u16string_view text, size_t from, size_t to) {
  for (size_t i = from; i < to;) {
    const auto position = static_cast<int32_t>(i);
    if (text[i] == u'&') {
      if (auto e = Entity(text.substr(0, to), i)) {
        AppendChar(out, e->first, position);
        i += e->second;
        continue;
      }
    }
    out.Append(text[i], position);
    ++i;
  }
}

// One tag: "<" name attributes ">" with the attribute values at their caller positions.
struct Tag {
  std::u16string Name;  // lower case
  bool Closing = false;
  bool Empty = false;  // ends in "/>"
  std::vector<std::pair<std::u16string, SourceText>> Attributes;
  const SourceText* Attribute(std::u16string_view name) const {
    for (const auto& [n, v] : Attributes)
      if (n == name) return &v;
    return nullptr;
  }
};

size_t SkipBlanks(std::u16string_view s, size_t i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
  return i;
}

// Reads the attributes in body[i, end); `body` starts where the caller's text starts.
void ReadAttributes(std::u16string_view body, size_t i, Tag& tag) {
  while ((i = SkipBlanks(body, i)) < body.size()) {
    size_t nameEnd = i;
    while (nameEnd < body.size() && !IsBlank(body[nameEnd]) && body[nameEnd] != u'=') ++nameEnd;
    std::u16string name = Lower(body.substr(i, nameEnd - i));
    i = SkipBlanks(body, nameEnd);
    if (i >= body.size() || body[i] != u'=') {
      i = nameEnd + 1;
      continue;
    }
    i = SkipBlanks(body, i + 1);
    if (i >= body.size()) break;
    const char16_t quote = body[i];
    size_t valueStart = i, valueEnd = i;
    if (quote == u'"' || quote == u'\'') {
      valueStart = i + 1;
      valueEnd = body.find(quote, valueStart);
      if (valueEnd == std::u16string_view::npos) valueEnd = body.size();
      i = valueEnd + 1;
    } else {
      while (valueEnd < body.size() && !IsBlank(body[valueEnd])) ++valueEnd;
      i = valueEnd;
    }
    SourceText value;
    AppendDecoded(value, body, valueStart, valueEnd);
    tag.Attributes.emplace_back(std::move(name), std::move(value));
  }
}

// The tag at text[i] == '<', or nothing when no tag starts there; `end` is set past its ">".
std::optional<Tag> ReadTag(std::u16string_view text, size_t i, size_t& end) {
  if (i + 1 >= text.size()) return std::nullopt;
  const char16_t first = text[i + 1];
  if (!IsAsciiLetter(first) && first != u'/' && first != u'!' && first != u'?') return std::nullopt;
  const size_t close = text.find(u'>', i);
  if (close == std::u16string_view::npos) return std::nullopt;
  end = close + 1;
  Tag tag;
  std::u16string_view body = text.substr(0, close);
  size_t k = i + 1;
  if (body[k] == u'/') {
    tag.Closing = true;
    ++k;
  }
  if (close > k && body[close - 1] == u'/') {
    tag.Empty = true;
    body = body.substr(0, close - 1);
  }
  size_t nameEnd = k;
  while (nameEnd < body.size() && !IsBlank(body[nameEnd])) ++nameEnd;
  tag.Name = Lower(body.substr(k, nameEnd - k));
  ReadAttributes(body, nameEnd, tag);
  return tag;
}

// Leading whole number of a text ("5", " -3", "+2.5" gives 2); nothing without digits.
std::optional<int32_t> LeadingNumber(const std::u16string& s) {
  size_t i = SkipBlanks(s, 0);
  bool negative = false;
  if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
  if (i >= s.size() || s[i] < u'0' || s[i] > u'9') return std::nullopt;
  int64_t value = 0;
  for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i)
    value = std::min<int64_t>(value * 10 + (s[i] - u'0'), 1000000);
  return static_cast<int32_t>(negative ? -value : value);
}

class MarkupReader {
 public:
  MarkupReader(std::u16string_view text, int32_t absmiddle) : text_(text), pitch_(absmiddle) {}

  ParsedSpeech Read() {
    for (size_t i = 0; i < text_.size();) {
      size_t end = 0;
      std::optional<Tag> tag;
      if (text_[i] == u'<') tag = ReadTag(text_, i, end);
      if (!tag) {
        size_t next = text_.find(u'<', i + 1);
        if (next == std::u16string_view::npos) next = text_.size();
        if (skippingUntilPronEnd_) {
          i = next;
          continue;
        }
        AppendDecoded(TextPart().Source, text_, i, next);
        i = next;
        continue;
      }
      Apply(*tag);
      i = end;
    }
    out_.FinalAbsMiddle = pitch_;
    return std::move(out_);
  }

 private:
  SpeechPart& TextPart() {
    if (out_.Parts.empty() || out_.Parts.back().Phonemes || out_.Parts.back().AbsMiddle != pitch_)
      out_.Parts.push_back(SpeechPart{false, pitch_, {}});
    return out_.Parts.back();
  }

  void Apply(const Tag& tag) {
    if (tag.Name == u"pitch") {
      ApplyPitch(tag);
    } else if (tag.Name == u"pron") {
      if (tag.Closing) {
        skippingUntilPronEnd_ = false;
        return;
      }
      if (const SourceText* sym = tag.Attribute(u"sym"))
        out_.Parts.push_back(SpeechPart{true, pitch_, *sym});
      skippingUntilPronEnd_ = !tag.Empty;
    }
  }

  void ApplyPitch(const Tag& tag) {
    if (tag.Closing) {
      if (!saved_.empty()) {
        pitch_ = saved_.back();
        saved_.pop_back();
      }
      return;
    }
    if (!tag.Empty) saved_.push_back(pitch_);
    if (const SourceText* abs = tag.Attribute(u"absmiddle")) {
      if (auto n = LeadingNumber(abs->Text)) pitch_ = std::clamp(*n, -10, 10);
    } else if (const SourceText* rel = tag.Attribute(u"middle")) {
      if (auto n = LeadingNumber(rel->Text)) pitch_ = std::clamp(pitch_ + *n, -10, 10);
    }
  }

  std::u16string_view text_;
  int32_t pitch_;
  std::vector<int32_t> saved_;
  bool skippingUntilPronEnd_ = false;
  ParsedSpeech out_;
};

}  // namespace

SourceText PlainSource(std::u16string_view text) {
  SourceText out;
  out.Text.assign(text);
  out.Positions.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) out.Positions[i] = static_cast<int32_t>(i);
  return out;
}

ParsedSpeech ParseVoiceMarkup(std::u16string_view text, int32_t absmiddle) {
  return MarkupReader(text, std::clamp(absmiddle, -10, 10)).Read();
}

}  // namespace parlan::engines
