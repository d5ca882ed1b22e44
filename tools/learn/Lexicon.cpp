#include "learn/Lexicon.h"

#include <istream>
#include <sstream>
#include <unordered_set>

namespace parlan::learn {
namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

uint32_t WordHash(std::string_view word) {
  uint32_t h = 2166136261u;
  for (char c : word) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

bool IsHeldOut(std::string_view word) {
  return WordHash(word) % 10 == 0;
}

Lexicon ReadLexicon(std::istream& in) {
  Lexicon lexicon;
  std::unordered_set<std::string> seen;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    size_t tab = line.find('\t');
    Entry e;
    e.Word = Lower(line.substr(0, tab));
    if (tab != std::string::npos) {
      std::istringstream phones(line.substr(tab + 1));
      for (std::string p; phones >> p;) e.Phonemes.push_back(p);
    }
    if (!IsLexiconWord(e.Word) || e.Phonemes.empty()) {
      ++lexicon.Skipped;
      continue;
    }
    if (!seen.insert(e.Word).second) continue;
    (IsHeldOut(e.Word) ? lexicon.HeldOut : lexicon.Learning).push_back(std::move(e));
  }
  return lexicon;
}

std::vector<std::string> Unstressed(const std::vector<std::string>& phonemes) {
  std::vector<std::string> out;
  out.reserve(phonemes.size());
  for (const auto& p : phonemes) out.push_back(p.starts_with('\'') ? p.substr(1) : p);
  return out;
}

bool IsLexiconWord(std::string_view w) {
  bool letter = false;
  for (char c : w) {
    if (c >= 'a' && c <= 'z')
      letter = true;
    else if (c != '\'')
      return false;
  }
  return letter;
}

}  // namespace parlan::learn
