#include "Wording.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <vector>

namespace parlan::speechd {

namespace {

struct SymbolName {
  char Symbol;
  std::string_view Name;
  Punctuation Least;  // the least punctuation mode that reads it
};

constexpr SymbolName kSymbols[] = {
    {'!', "exclamation mark", Punctuation::All},
    {'"', "quote", Punctuation::Most},
    {'#', "hash", Punctuation::Some},
    {'$', "dollar", Punctuation::Some},
    {'%', "percent", Punctuation::Some},
    {'&', "and", Punctuation::Some},
    {'\'', "apostrophe", Punctuation::All},
    {'(', "left paren", Punctuation::Most},
    {')', "right paren", Punctuation::Most},
    {'*', "star", Punctuation::Some},
    {'+', "plus", Punctuation::Some},
    {',', "comma", Punctuation::All},
    {'-', "dash", Punctuation::Most},
    {'.', "dot", Punctuation::All},
    {'/', "slash", Punctuation::Some},
    {':', "colon", Punctuation::Most},
    {';', "semicolon", Punctuation::Most},
    {'<', "less than", Punctuation::Some},
    {'=', "equals", Punctuation::Some},
    {'>', "greater than", Punctuation::Some},
    {'?', "question mark", Punctuation::All},
    {'@', "at", Punctuation::Some},
    {'[', "left bracket", Punctuation::Most},
    {'\\', "backslash", Punctuation::Some},
    {']', "right bracket", Punctuation::Most},
    {'^', "caret", Punctuation::Some},
    {'_', "underscore", Punctuation::Some},
    {'`', "grave", Punctuation::Some},
    {'{', "left brace", Punctuation::Most},
    {'|', "bar", Punctuation::Some},
    {'}', "right brace", Punctuation::Most},
    {'~', "tilde", Punctuation::Some},
};

constexpr std::string_view kLetters[] = {"ay",    "bee",        "see", "dee", "ee",  "eff", "jee",
                                         "aitch", "eye",        "jay", "kay", "ell", "em",  "en",
                                         "oh",    "pee",        "cue", "ar",  "ess", "tee", "you",
                                         "vee",   "double you", "ex",  "why", "zed"};

const SymbolName* FindSymbol(UChar32 c) {
  for (const SymbolName& s : kSymbols)
    if (static_cast<UChar32>(static_cast<unsigned char>(s.Symbol)) == c) return &s;
  return nullptr;
}

// The code points of UTF-8 text with the byte ranges they came from; invalid bytes are U+FFFD.
struct CodePoint {
  UChar32 Value;
  std::string_view Bytes;
};

std::vector<CodePoint> CodePoints(std::string_view text) {
  std::vector<CodePoint> out;
  const auto* s = reinterpret_cast<const uint8_t*>(text.data());
  const int32_t length = static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
  int32_t i = 0;
  while (i < length) {
    const int32_t start = i;
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);
    if (c < 0) c = 0xFFFD;
    out.push_back(CodePoint{c, text.substr(size_t(start), size_t(i - start))});
  }
  return out;
}

// One character as a word or words; `bytes` is its UTF-8 form.
std::string NameOf(UChar32 c, std::string_view bytes, const Wording& wording) {
  std::string out;
  if (wording.Capitals != CapitalLetters::None && u_isupper(c)) out = "capital ";
  if (c == ' ') return "space";
  if (!wording.English) return out.append(bytes);
  const UChar32 lower = u_tolower(c);
  if (lower >= 'a' && lower <= 'z') return out.append(kLetters[lower - 'a']);
  if (const SymbolName* s = FindSymbol(c)) return out.append(s->Name);
  return out.append(bytes);
}

}  // namespace

std::string PrepareText(std::string_view text, const Wording& wording) {
  std::string out;
  if (wording.Spelling) {
    for (const CodePoint& cp : CodePoints(text)) {
      if (u_isspace(cp.Value)) continue;
      if (!out.empty()) out += ", ";
      out += NameOf(cp.Value, cp.Bytes, wording);
    }
    return out;
  }
  for (const CodePoint& cp : CodePoints(text)) {
    const SymbolName* s = wording.English ? FindSymbol(cp.Value) : nullptr;
    if (!s || wording.Punct < s->Least || wording.Punct == Punctuation::None) {
      out.append(cp.Bytes);
      continue;
    }
    out += ' ';
    out += s->Name;
    // Sentence punctuation stays after its name, so that the phrasing is kept.
    const bool phrasing = std::string_view(".,!?;:").find(s->Symbol) != std::string_view::npos;
    if (phrasing) out += s->Symbol;
    out += ' ';
  }
  return out;
}

std::string CharacterWords(std::string_view character, const Wording& wording) {
  if (character == "space") return "space";
  const std::vector<CodePoint> cps = CodePoints(character);
  std::string out;
  for (const CodePoint& cp : cps) {
    if (!out.empty()) out += ' ';
    out += NameOf(cp.Value, cp.Bytes, wording);
  }
  return out;
}

std::string KeyWords(std::string_view key, const Wording& wording) {
  if (CodePoints(key).size() == 1) return CharacterWords(key, wording);
  std::string out;
  size_t start = 0;
  while (start <= key.size()) {
    size_t end = key.find('_', start);
    if (end == std::string_view::npos) end = key.size();
    std::string_view part = key.substr(start, end - start);
    if (part.empty() && end < key.size()) part = "underscore", ++end;  // "shift__"
    if (!part.empty()) {
      if (!out.empty()) out += ' ';
      if (part.substr(0, 3) == "kp-") {
        out += "keypad ";
        part.remove_prefix(3);
      }
      out += CodePoints(part).size() == 1 ? CharacterWords(part, wording) : IconWords(part);
    }
    start = end + 1;
  }
  return out;
}

std::string IconWords(std::string_view icon) {
  std::string out(icon);
  for (char& c : out)
    if (c == '-' || c == '_') c = ' ';
  return out;
}

}  // namespace parlan::speechd
