// The rule tables in the form the word converter reads: every context pattern cut into its
// items once, every wild-card class indexed by the first character of its members, and every
// letter group's rules indexed by their focus. Built from the loaded tables, which stay the
// reference: the compiled form gives the same answers, in the same order, as reading the
// patterns from their text.
#pragma once

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "letter_rules/LetterRules.h"

namespace parlan {

struct CompiledItem {
  enum class Kind : uint8_t { Never, End, Literal, Class, OneOrMore, ZeroOrMore };
  Kind What = Kind::Never;
  bool OfClass = false;     // a repeat of a class rather than of a literal
  int32_t ClassIndex = -1;  // into CompiledRules::Classes; -1 for a class that matches nothing
  std::u16string Literal;
};

// A context: "*" fits anything; a malformed one records its error whenever it is tried.
struct CompiledContext {
  bool Any = false;
  bool Malformed = false;
  std::vector<CompiledItem> Items;  // in the order they are matched
  // Literals of ASCII letters only, perhaps ending at the word end: matched as one string.
  bool Plain = false;
  bool PlainEnd = false;
  std::u16string PlainLetters;
  // What the first item needs of the first character, to rule most contexts out at a glance.
  enum class Needs : uint8_t { Anything, Nothing, End, AsciiChar } First = Needs::Anything;
  std::bitset<128> FirstChars;  // for AsciiChar: the ASCII characters that may come first

  // True when the context cannot fit the text: a well-formed context has no other effect.
  bool SurelyMisses(std::u16string_view text) const {
    switch (First) {
      case Needs::Anything:
        return false;
      case Needs::Nothing:
        return true;
      case Needs::End:
        return !text.empty();
      case Needs::AsciiChar:
        // Beyond ASCII, case folding may still match: the items decide.
        return text.empty() || (text.front() < 128 && !FirstChars.test(text.front()));
    }
    return false;
  }
};

struct CompiledRule {
  CompiledContext Left;
  CompiledContext Right;
  bool LeftSense = true;
  bool RightSense = true;
  size_t FocusSize = 0;
};

// What a rule's contexts need of the first characters beside its focus, kept apart from the
// rules in a small array: most rules tried at a position miss on them, and a large file's rule
// records lie too far apart in memory to be read for that. Each place is a set of lowercase
// ASCII letters (a literal letter in either case, a class of single letters exactly), or the
// word end.
struct RuleScreen {
  static constexpr size_t kPlaces = 2;
  static constexpr uint32_t kEnd = 1u << 26;      // the word ends here
  static constexpr uint32_t kAnyCase = 1u << 27;  // a capital of a letter in the set fits too
  uint32_t Left[kPlaces] = {};                    // nearest the focus first
  uint32_t Right[kPlaces] = {};
  uint8_t LeftCount = 0;   // places of Left that are known; 0 when nothing is
  uint8_t RightCount = 0;  // likewise; 0 too when trying the left context may record an error
  uint8_t FocusSize = 0;   // 0 for a focus too long to say here: such a rule is always tried

  // True when the rule surely does not fit with these texts before (reversed) and after the
  // position where its focus would start.
  bool Misses(std::u16string_view before, std::u16string_view rest) const {
    if (FocusSize == 0) return false;
    if (LeftCount > 0 && Differs(Left, LeftCount, before, true)) return true;
    return RightCount > 0 && rest.size() >= FocusSize &&
           Differs(Right, RightCount, rest.substr(FocusSize), true);
  }
  // The same for one side, knowing only the text's beginning unless `whole`.
  bool LeftMisses(std::u16string_view before, bool whole) const {
    return FocusSize > 0 && LeftCount > 0 && Differs(Left, LeftCount, before, whole);
  }
  bool RightMisses(std::u16string_view after, bool whole) const {
    return FocusSize > 0 && RightCount > 0 && Differs(Right, RightCount, after, whole);
  }

 private:
  static bool Differs(const uint32_t* places, uint8_t count, std::u16string_view text, bool whole) {
    for (size_t k = 0; k < count; ++k) {
      const uint32_t set = places[k];
      if (k >= text.size()) return whole && (set & kEnd) == 0;
      const char16_t a = text[k];
      if (a >= 0x80) return false;  // case folding decides
      const char16_t lower = a | 0x20;
      if (lower < u'a' || lower > u'z' || (set & (1u << (lower - u'a'))) == 0) return true;
      if (a != lower && (set & kAnyCase) == 0) return true;
    }
    return false;
  }
};

// The members of a class that begin with a character, longest first.
struct ClassIndex {
  // Lists[AsciiSlot[c] - 1] holds the members starting with ASCII c; 0 means none. Slots keep
  // an empty class (most of a file's fifty) down to a few hundred bytes to build.
  std::array<uint16_t, 128> AsciiSlot{};
  std::vector<std::vector<std::u16string>> Lists;
  std::unordered_map<char16_t, std::vector<std::u16string>> Other;
  const std::vector<std::u16string>* Starting(char16_t c) const;
};

// The foci of one group as a tree of their characters. A node stands for the characters on
// the way to it; Candidates are the rules whose focus is that text or a beginning of it, in file
// order: all the rules that can fit where the rest of the word begins with the node's text and
// goes no deeper into the tree.
//
// ByNext narrows Candidates by the character after the node's text (kEndOfWord when the word
// ends there, kBeyondAscii for any other character): it leaves out the rules whose right
// context surely misses there and whose other tests could have no effect, so that a large group
// of context rules costs a word only the rules that can fit.
struct FocusNode {
  static constexpr size_t kEndOfWord = 128;
  static constexpr size_t kBeyondAscii = 129;
  std::vector<std::pair<char16_t, int32_t>> Children;  // character, node
  // For a node of many children: the child of each ASCII character, 0 for none.
  std::unique_ptr<std::array<int32_t, 128>> AsciiChildren;
  std::vector<int32_t> Candidates;
  std::vector<std::vector<int32_t>> ByNext;  // kBeyondAscii + 1 lists, empty before indexing
  // A long list of ByNext narrowed once more by the character before the focus (kEndOfWord at
  // the start of the word), leaving out the rules whose left context surely misses there.
  std::vector<std::vector<std::vector<int32_t>>> ByNextAndBefore;
  // A long list of ByNextAndBefore narrowed by the character after the next one: the rules
  // whose right context names it (lowercased; 0 for the word end) or names none.
  struct SecondIndex {
    std::vector<std::pair<char16_t, std::vector<int32_t>>> ByChar;
    std::vector<int32_t> Others;  // for a character no rule names
  };
  std::vector<std::vector<SecondIndex>> BySecond;  // [next][before], empty when not split
  // Per next-character bucket: its lists above are complete. Absent when no list is long.
  std::unique_ptr<std::atomic<bool>[]> Split;
};

struct CompiledRules;

struct GroupIndex {
  // Nodes[0] is the empty text. A node's narrowing lists are built the first time a word
  // reaches it, so that loading costs only the tree: a word meets few of a large file's nodes.
  mutable std::vector<FocusNode> Nodes;
  // One per node: its lists are complete. They are built once, under Lock, even with the
  // rules shared between threads.
  std::unique_ptr<std::atomic<bool>[]> Indexed;
  std::unique_ptr<std::mutex> Lock;
  // The candidates for the rest of a word: those of the deepest node it reaches, narrowed by
  // the characters around the focus. `before` is the converted text reversed.
  const std::vector<int32_t>& CandidatesFor(const CompiledRules& rules, std::u16string_view rest,
                                            std::u16string_view before) const;
};

struct CompiledRules {
  std::vector<ClassIndex> Classes;
  std::vector<uint32_t> ClassLetters;     // of a class of single letters, else 0 (RuleScreen)
  std::vector<CompiledRule> Rules;        // Rules[i - 1] belongs to rule i
  std::vector<RuleScreen> Screens;        // likewise
  std::vector<GroupIndex> Groups;         // Groups[g - 1] belongs to group g
  std::array<int32_t, 128> AsciiGroup{};  // group number of an ASCII character, 0 for none
  // The entries the narrowing lists of all groups may still take (see CompiledRules.cpp).
  mutable std::atomic<size_t> IndexBudget{0};
  // Some context cannot be read: trying it records an error, so its words are not memorised.
  bool AnyMalformed = false;
  // What the compiled form was built from, to notice tables changed since.
  size_t RuleCount = 0;
  size_t ClassCount = 0;
  std::u16string GroupLetters;
};

// Builds the compiled form of the tables.
std::shared_ptr<const CompiledRules> CompileRules(const LetterRuleTables& tables);

// The compiled form of the tables, built now when missing or older than the tables.
const CompiledRules& EnsureCompiled(LetterRuleTables& tables);

// Whether the context fits the text (reversed text for a left context). malformed is set, and
// false given, for a malformed context.
bool MatchCompiled(const CompiledRules& rules, const CompiledContext& context,
                   std::u16string_view text, bool& malformed);

}  // namespace parlan
