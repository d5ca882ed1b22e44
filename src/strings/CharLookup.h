// Sets of characters for the per-word passes: a membership test costs a bit test for ASCII
// instead of a search through the language's list of characters.
#pragma once

#include <bitset>
#include <cstring>
#include <string>
#include <string_view>

namespace parlan {

// The characters of a text, as a set.
class CharPresence {
 public:
  CharPresence() = default;
  explicit CharPresence(std::u16string_view text) { Assign(text); }

  void Assign(std::u16string_view text) {
    ascii_.reset();
    other_ = {};
    for (char16_t c : text) {
      if (c < 128)
        ascii_.set(c);
      else if (other_.empty() || other_.find(c) == std::u16string::npos)
        other_.push_back(c);
    }
  }

  bool Contains(char16_t c) const {
    return c < 128 ? ascii_.test(c) : other_.find(c) != std::u16string::npos;
  }

  // Whether any character of text belongs to the set.
  bool AnyOf(std::u16string_view text) const {
    for (char16_t c : text)
      if (Contains(c)) return true;
    return false;
  }

 private:
  std::bitset<128> ascii_;
  std::u16string other_;
};

// The set of a table's list of characters, built again whenever that list changes.
class CharLookup {
 public:
  const CharPresence& Of(std::u16string_view list) {
    // Compared bytewise: the list is asked for once or twice per word.
    if (!built_ || list.size() != source_.size() ||
        std::memcmp(list.data(), source_.data(), list.size() * sizeof(char16_t)) != 0) {
      source_.assign(list);
      set_.Assign(list);
      built_ = true;
    }
    return set_;
  }

 private:
  bool built_ = false;
  std::u16string source_;
  CharPresence set_;
};

}  // namespace parlan
