// The last recorded error: a number and a text, overwritten together by each new error and
// read by the control's LastError.
#pragma once

#include <cstdint>
#include <string>

namespace parlan {

struct ErrorRecord {
  int16_t Number = 0;
  std::u16string Text;

  void Record(int16_t number, std::u16string text) {
    Number = number;
    Text = std::move(text);
  }
};

// The error numbers the system records.
namespace errors {
inline constexpr int16_t kInvalidModeNumber = 1;
inline constexpr int16_t kMissingGender = 2;
inline constexpr int16_t kRulesNotLoaded = 3;
inline constexpr int16_t kMissingRule = 4;
inline constexpr int16_t kLeftContext = 5;
inline constexpr int16_t kRightContext = 6;
inline constexpr int16_t kNoLetterGroup = 7;
inline constexpr int16_t kConfigFile = 8;

inline constexpr char16_t kInvalidModeNumberText[] =
    u"Attempted to return mode name with invalid mode number ";
inline constexpr char16_t kMissingGenderText[] =
    u"Missing or misconfigured config file for Gender ";
inline constexpr char16_t kRulesNotLoadedText[] = u"Rules were not loaded from ";
inline constexpr char16_t kMissingRuleText[] = u"Missing Rule with right focus = ";
inline constexpr char16_t kLeftContextText[] = u"left context error";
inline constexpr char16_t kRightContextText[] = u"right context error";
inline constexpr char16_t kNoLetterGroupText[] = u"Rule Index is too large, can't find rule for ";
inline constexpr char16_t kConfigFileText[] = u"Missing or Malformed Config File for ";
}  // namespace errors

}  // namespace parlan
