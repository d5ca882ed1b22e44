#include "Ssml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>

#include "CliErrors.h"
#include "strings/Unicode.h"

namespace parlan::cli {
namespace {

constexpr double kRates[5] = {0.5, 0.75, 1.0, 1.5, 2.0};
constexpr double kVolumes[5] = {0.2, 0.5, 0.8, 1.0, 1.0};  // the loudest is the normal level
constexpr int32_t kPitchSteps[5] = {-20, -10, 0, 10, 20};
constexpr int32_t kStrengths[6] = {0, 100, 250, 500, 800, 1200};  // none .. x-strong, in ms
constexpr int32_t kSentencePause = 400;

std::string Attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (!value) return "";
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

std::string Name(const xmlNode* node) {
  return node->name ? reinterpret_cast<const char*>(node->name) : "";
}

bool ParseNumber(std::string_view text, double& number) {
  if (text.starts_with('+')) text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  return ec == std::errc() && end == text.data() + text.size();
}

int32_t BreakMs(const xmlNode* node) {
  const std::string time = Attribute(node, "time");
  double amount = 0;
  if (time.ends_with("ms") &&
      ParseNumber(std::string_view(time).substr(0, time.size() - 2), amount))
    return static_cast<int32_t>(std::clamp(amount, 0.0, 60000.0));
  if (time.ends_with("s") && ParseNumber(std::string_view(time).substr(0, time.size() - 1), amount))
    return static_cast<int32_t>(std::clamp(amount * 1000.0, 0.0, 60000.0));
  const std::string strength = Attribute(node, "strength");
  const char* names[6] = {"none", "x-weak", "weak", "medium", "strong", "x-strong"};
  for (int i = 0; i < 6; ++i)
    if (strength == names[i]) return kStrengths[i];
  return kStrengths[3];  // a break without attributes is a medium one
}

// Letters one by one, so that each is said by its name.
std::u16string Spelled(const std::u16string& text) {
  std::u16string spelled;
  for (char16_t c : text) {
    if (c == u' ') continue;
    if (!spelled.empty()) spelled.push_back(u' ');
    spelled.push_back(c);
  }
  return spelled;
}

// Digits without their group separators, which would otherwise cut the number.
std::u16string Cardinal(const std::u16string& text) {
  std::u16string digits;
  for (char16_t c : text)
    if (c != u',' && c != u' ' && c != u'\u00A0' && c != u'\'') digits.push_back(c);
  return digits;
}

class Walker {
 public:
  std::vector<SsmlPiece> Finish() {
    Flush(0);
    return std::move(pieces_);
  }

  void Walk(const xmlNode* node) {
    for (; node; node = node->next) {
      if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE)
        Append(Text(node));
      else if (node->type == XML_ELEMENT_NODE)
        Element(node);
    }
  }

 private:
  static std::u16string Text(const xmlNode* node) {
    std::u16string text;
    if (node->content) Utf8ToUtf16(reinterpret_cast<const char*>(node->content), text);
    return text;
  }

  static std::u16string AllText(const xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::u16string text;
    if (content) Utf8ToUtf16(reinterpret_cast<const char*>(content), text);
    xmlFree(content);
    return text;
  }

  void Append(const std::u16string& text) {
    for (char16_t c : text) {
      const bool blank = c == u' ' || c == u'\n' || c == u'\r' || c == u'\t';
      if (blank && (text_.empty() || text_.back() == u' ')) continue;
      text_.push_back(blank ? u' ' : c);
    }
  }

  void Flush(int32_t pauseMs) {
    while (!text_.empty() && text_.back() == u' ') text_.pop_back();
    if (text_.empty() && pauseMs == 0) return;
    if (text_.empty() && !pieces_.empty() && pieces_.back().Text.empty() == false &&
        pieces_.back().PauseMs == 0) {
      pieces_.back().PauseMs = pauseMs;  // a break right after text belongs to it
      return;
    }
    SsmlPiece piece = style_;
    piece.Text = std::move(text_);
    piece.PauseMs = pauseMs;
    pieces_.push_back(std::move(piece));
    text_.clear();
  }

  // An element that changes the style of its content.
  void Styled(const xmlNode* node, const SsmlPiece& style) {
    Flush(0);
    const SsmlPiece outer = style_;
    style_ = style;
    Walk(node->children);
    Flush(0);
    style_ = outer;
  }

  void Element(const xmlNode* node) {
    const std::string name = Name(node);
    if (name == "break") {
      Flush(BreakMs(node));
    } else if (name == "prosody") {
      Styled(node, Prosody(node));
    } else if (name == "emphasis") {
      SsmlPiece style = style_;
      const std::string level = Attribute(node, "level");
      if (level == "reduced") {
        style.Rate *= 1.1, style.Pitch -= 5, style.Volume *= 0.8;
      } else if (level != "none") {
        const bool strong = level == "strong";
        style.Rate *= strong ? 0.8 : 0.9, style.Pitch += strong ? 12 : 6;
      }
      Styled(node, style);
    } else if (name == "say-as") {
      const std::string as = Attribute(node, "interpret-as");
      const std::u16string text = AllText(node);
      Append(u" ");
      Append(as == "characters" || as == "spell-out" || as == "letters" ? Spelled(text)
             : as == "cardinal" || as == "number"                       ? Cardinal(text)
                                                                        : text);
      Append(u" ");
    } else if (name == "sub") {
      std::u16string alias;
      Utf8ToUtf16(Attribute(node, "alias"), alias);
      Append(u" " + alias + u" ");
    } else if (name == "p" || name == "s") {
      Flush(0);
      Walk(node->children);
      Flush(kSentencePause);
    } else {
      Walk(node->children);  // speak, voice, lang, mark and unknown elements: their content
    }
  }

  SsmlPiece Prosody(const xmlNode* node) const {
    SsmlPiece style = style_;
    double factor = 1.0;
    if (SsmlFactor(Attribute(node, "rate"), kRates, factor)) style.Rate *= factor;
    if (SsmlFactor(Attribute(node, "volume"), kVolumes, factor)) style.Volume *= factor;
    const std::string pitch = Attribute(node, "pitch");
    const char* names[5] = {"x-low", "low", "medium", "high", "x-high"};
    for (int i = 0; i < 5; ++i)
      if (pitch == names[i]) style.Pitch += kPitchSteps[i];
    constexpr double kNoNames[5] = {0, 0, 0, 0, 0};
    if (pitch.ends_with('%') && SsmlFactor(pitch, kNoNames, factor))
      style.Pitch += static_cast<int32_t>(std::lround((factor - 1.0) * 50.0));  // of the normal 50
    if (Attribute(node, "volume") == "silent") style.Volume = 0;
    return style;
  }

  std::vector<SsmlPiece> pieces_;
  SsmlPiece style_;
  std::u16string text_;
};

}  // namespace

bool SsmlFactor(std::string_view value, const double (&named)[5], double& factor) {
  const char* names[5] = {"x-slow", "slow", "medium", "fast", "x-fast"};
  const char* levels[5] = {"x-soft", "soft", "medium", "loud", "x-loud"};
  for (int i = 0; i < 5; ++i)
    if (named[i] > 0 && (value == names[i] || value == levels[i])) {
      factor = named[i];
      return true;
    }
  if (value == "default") {
    factor = 1.0;
    return true;
  }
  double number = 0;
  if (value.ends_with('%')) {
    const bool relative = value.starts_with('+') || value.starts_with('-');
    if (!ParseNumber(value.substr(0, value.size() - 1), number)) return false;
    factor = relative ? 1.0 + number / 100.0 : number / 100.0;
    return factor >= 0;
  }
  if (!ParseNumber(value, number) || number < 0) return false;
  factor = number;
  return true;
}

std::vector<SsmlPiece> ParseSsml(std::string_view document) {
  // No network, no external entities, no messages of libxml2's own on standard error.
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc(
      xmlReadMemory(document.data(), static_cast<int>(document.size()), "ssml", "UTF-8", options),
      xmlFreeDoc);
  if (!doc) {
    const xmlError* error = xmlGetLastError();
    std::string message = error && error->message ? error->message : "unreadable";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
      message.pop_back();
    throw UsageError("the SSML is not well-formed (line " +
                     std::to_string(error ? error->line : 0) + "): " + message);
  }
  Walker walker;
  walker.Walk(xmlDocGetRootElement(doc.get()));
  return walker.Finish();
}

}  // namespace parlan::cli
