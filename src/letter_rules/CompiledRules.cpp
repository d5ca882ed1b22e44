// Compiling the loaded rule tables: each pattern is read with the same item functions the text
// matcher uses, so both agree on what an item is.
#include "letter_rules/CompiledRules.h"

#include <algorithm>
#include <iterator>

#include "letter_rules/RuleMatcher.h"

namespace parlan {
namespace {

bool IsAsciiDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// The index of class c among the compiled classes, -1 when the class matches nothing.
int32_t ClassSlot(const LetterRuleTables& tables, int32_t c) {
  if (c < 1 || c > kMaxWildCards || static_cast<size_t>(c) > tables.WildCards.size()) return -1;
  return c - 1;
}

// Fills item from its text; false for a class number beyond the 16-bit range.
bool CompileItem(const LetterRuleTables& tables, std::u16string_view text, CompiledItem& item) {
  using Kind = CompiledItem::Kind;
  if (text.empty()) return true;  // class 0: never matches
  char16_t mark = text.front();
  if (mark == u'_') {
    item.What = Kind::End;
    return true;
  }
  std::u16string_view x = text;
  if (mark == u':' || mark == u';') {
    item.What = mark == u':' ? Kind::OneOrMore : Kind::ZeroOrMore;
    x = text.substr(1);
  } else {
    item.What = IsAsciiDigit(mark) ? Kind::Class : Kind::Literal;
  }
  if (x.empty() || !IsAsciiDigit(x.front())) {
    item.Literal.assign(x);  // the empty literal matches nothing
    return true;
  }
  std::optional<int16_t> c = ClassNumber(x);
  if (!c) return false;
  item.OfClass = true;
  item.ClassIndex = ClassSlot(tables, *c);
  return true;
}

// What the first item of a well-formed context needs of the text's first character.
void SetFirstNeeds(const LetterRuleTables& tables, CompiledContext& context) {
  using Kind = CompiledItem::Kind;
  using Needs = CompiledContext::Needs;
  const CompiledItem& item = context.Items.front();
  context.First = Needs::Anything;
  if (item.What == Kind::Never) context.First = Needs::Nothing;
  if (item.What == Kind::End) context.First = Needs::End;
  if (item.What == Kind::Never || item.What == Kind::End || item.What == Kind::ZeroOrMore) return;
  if (!item.OfClass) {
    if (item.Literal.empty()) {
      context.First = Needs::Nothing;
      return;
    }
    char16_t c = item.Literal.front();
    if (c >= 128) return;  // ICU decides what matches it
    context.First = Needs::AsciiChar;
    context.FirstChars.set(c);
    char16_t other = static_cast<char16_t>(c ^ 0x20);
    if ((c | 0x20) >= u'a' && (c | 0x20) <= u'z') context.FirstChars.set(other);
    return;
  }
  if (item.ClassIndex < 0) {
    context.First = Needs::Nothing;
    return;
  }
  // Class members are compared exactly: the first characters of the members.
  context.First = Needs::AsciiChar;
  std::u16string_view members = tables.WildCards[static_cast<size_t>(item.ClassIndex)];
  while (true) {
    std::u16string_view member = TakeItem(members);
    if (!member.empty() && member.front() < 128) context.FirstChars.set(member.front());
    if (members.empty()) break;
  }
}

bool IsAsciiLetter(char16_t c) {
  return (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
}

void SetPlain(CompiledContext& context) {
  using Kind = CompiledItem::Kind;
  std::u16string letters;
  for (size_t k = 0; k < context.Items.size(); ++k) {
    const CompiledItem& item = context.Items[k];
    if (item.What == Kind::End && k + 1 == context.Items.size()) {
      context.PlainEnd = true;
      break;
    }
    if (item.What != Kind::Literal || item.Literal.empty()) return;
    for (char16_t c : item.Literal)
      if (!IsAsciiLetter(c)) return;
    letters += item.Literal;
  }
  context.Plain = true;
  context.PlainLetters = std::move(letters);
}

CompiledContext CompileContext(const LetterRuleTables& tables, std::u16string_view pattern,
                               bool reversed) {
  CompiledContext context;
  if (pattern == u"*") {
    context.Any = true;
    return context;
  }
  int32_t k = CountItems(pattern);
  if (k > kMaxContextItems) {
    context.Malformed = true;
    return context;
  }
  context.Items.resize(static_cast<size_t>(k));
  for (int32_t i = 0; i < k; ++i) {
    size_t at = static_cast<size_t>(reversed ? k - 1 - i : i);
    if (!CompileItem(tables, TakeItem(pattern), context.Items[at])) context.Malformed = true;
  }
  if (context.Malformed)
    context.Items.clear();
  else
    SetFirstNeeds(tables, context);
  if (!context.Malformed) SetPlain(context);
  return context;
}

ClassIndex CompileClass(std::u16string_view members) {
  ClassIndex index;
  while (true) {
    std::u16string_view member = TakeItem(members);
    if (!member.empty()) {
      char16_t c = member.front();
      if (c < 128 && index.AsciiSlot[c] == 0) {
        index.Lists.emplace_back();
        index.AsciiSlot[c] = static_cast<uint16_t>(index.Lists.size());
      }
      auto& list = c < 128 ? index.Lists[index.AsciiSlot[c] - 1u] : index.Other[c];
      list.emplace_back(member);
    }
    if (members.empty()) break;
  }
  auto longestFirst = [](std::vector<std::u16string>& list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return a.size() > b.size(); });
  };
  for (auto& list : index.Lists) longestFirst(list);
  for (auto& [c, list] : index.Other) longestFirst(list);
  return index;
}

int32_t ChildOf(const FocusNode& node, char16_t c) {
  for (const auto& [letter, child] : node.Children)
    if (letter == c) return child;
  return 0;
}

// Nodes with this many children look an ASCII character up in a table.
constexpr size_t kManyChildren = 6;

int32_t ChildAt(const FocusNode& node, char16_t c) {
  if (c < 128 && node.AsciiChildren) return (*node.AsciiChildren)[c];
  return ChildOf(node, c);
}

GroupIndex CompileGroup(const LetterRuleTables& tables, const LetterGroup& group) {
  GroupIndex index;
  index.Nodes.emplace_back();
  int32_t first = std::max<int32_t>(group.First, 1);
  int32_t last = std::min<int32_t>(group.Last, static_cast<int32_t>(tables.LetterRules.size()));
  for (int32_t i = first; i <= last; ++i) {
    const std::u16string& focus = tables.LetterRules[static_cast<size_t>(i) - 1].Focus;
    size_t node = 0;
    for (char16_t c : focus) {
      int32_t child = ChildOf(index.Nodes[node], c);
      if (child == 0) {
        child = static_cast<int32_t>(index.Nodes.size());
        index.Nodes[node].Children.emplace_back(c, child);
        index.Nodes.emplace_back();
      }
      node = static_cast<size_t>(child);
    }
    // A rule without focus never fits: it stays at the empty text, which no word reaches.
    if (node != 0) index.Nodes[node].Candidates.push_back(i);
  }
  // A node is made after its parent: walking them in order, each parent's candidates are
  // complete when its children take them in.
  for (FocusNode& parent : index.Nodes) {
    if (parent.Children.size() >= kManyChildren) {
      parent.AsciiChildren = std::make_unique<std::array<int32_t, 128>>();
      for (const auto& [letter, child] : parent.Children)
        if (letter < 128) (*parent.AsciiChildren)[letter] = child;
    }
    for (const auto& [letter, child] : parent.Children) {
      std::vector<int32_t>& own = index.Nodes[static_cast<size_t>(child)].Candidates;
      std::vector<int32_t> merged;
      merged.reserve(own.size() + parent.Candidates.size());
      std::merge(parent.Candidates.begin(), parent.Candidates.end(), own.begin(), own.end(),
                 std::back_inserter(merged));
      own = std::move(merged);
    }
  }
  return index;
}

// Whether a context of plain letters may fit a text that starts with `known` (is `known`, when
// `whole`), compared as MatchCompiled compares them.
bool PlainMayFit(const CompiledContext& c, std::u16string_view known, bool whole) {
  const std::u16string& letters = c.PlainLetters;
  const size_t n = std::min(known.size(), letters.size());
  for (size_t k = 0; k < n; ++k) {
    const char16_t a = known[k];
    if (a >= 0x80) return true;  // case folding decides
    if (!IsAsciiLetter(a) || (a | 0x20) != (letters[k] | 0x20)) return false;
  }
  if (whole && known.size() < letters.size()) return false;
  return !(c.PlainEnd && known.size() > letters.size());
}

bool IsPlain(const CompiledContext& c) {
  return c.Plain && !c.Any && !c.Malformed;
}

// The letters of a class whose members are all single lowercase ASCII letters, else 0.
uint32_t SingleLetters(const ClassIndex& index) {
  uint32_t set = 0;
  if (!index.Other.empty()) return 0;
  for (char16_t c = 0; c < 128; ++c) {
    if (index.AsciiSlot[c] == 0) continue;
    for (const std::u16string& member : index.Lists[index.AsciiSlot[c] - 1u])
      if (member.size() != 1 || c < u'a' || c > u'z') return 0;
    set |= 1u << (c - u'a');
  }
  return set;
}

// What a context that must fit needs of its first places (see RuleScreen); the count known.
uint8_t ScreenPlaces(const CompiledRules& rules, const CompiledContext& c, bool sense,
                     uint32_t* out) {
  using Kind = CompiledItem::Kind;
  if (!sense || c.Any || c.Malformed) return 0;
  size_t n = 0;
  for (const CompiledItem& item : c.Items) {
    if (n == RuleScreen::kPlaces) break;
    if (item.What == Kind::End) {
      out[n++] = RuleScreen::kEnd;
      break;
    }
    if (item.What == Kind::Class) {
      const uint32_t set = item.ClassIndex < 0 ? 0 : rules.ClassLetters[item.ClassIndex];
      if (set == 0) break;
      out[n++] = set;
      continue;
    }
    if (item.What != Kind::Literal || item.Literal.empty()) break;
    for (char16_t letter : item.Literal) {
      if (n == RuleScreen::kPlaces || !IsAsciiLetter(letter)) return static_cast<uint8_t>(n);
      out[n++] = (1u << ((letter | 0x20) - u'a')) | RuleScreen::kAnyCase;
    }
  }
  return static_cast<uint8_t>(n);
}

RuleScreen ScreenOf(const CompiledRules& rules, const CompiledRule& r) {
  RuleScreen screen;
  if (r.FocusSize == 0 || r.FocusSize > 255) return screen;
  screen.FocusSize = static_cast<uint8_t>(r.FocusSize);
  screen.LeftCount = ScreenPlaces(rules, r.Left, r.LeftSense, screen.Left);
  // The left context is tried first: when it records an error, the rule must be tried.
  if (!r.Left.Malformed)
    screen.RightCount = ScreenPlaces(rules, r.Right, r.RightSense, screen.Right);
  return screen;
}

// Whether rule i can be left out where the text after its focus starts like `after` (is
// `after`, when `whole`): its right context surely misses, it must fit, and its left context
// records no error when tried.
bool SkippedAt(const CompiledRules& rules, int32_t i, std::u16string_view after, bool whole) {
  const CompiledRule& r = rules.Rules[static_cast<size_t>(i) - 1];
  if (!r.RightSense || r.Left.Malformed) return false;
  if (rules.Screens[static_cast<size_t>(i) - 1].RightMisses(after, whole)) return true;
  if (IsPlain(r.Right)) return !PlainMayFit(r.Right, after, whole);
  return r.Right.SurelyMisses(after);
}

// Lists shorter than this are tried as they are.
constexpr size_t kLongList = 24;

// The text a bucket of ByNext stands for, as far as SurelyMisses looks at it.
std::u16string BucketText(size_t bucket) {
  if (bucket == FocusNode::kEndOfWord) return {};
  if (bucket == FocusNode::kBeyondAscii) return u"\u0100";
  return std::u16string(1, static_cast<char16_t>(bucket));
}

constexpr int32_t kNamesNone = -1;

char16_t LowerAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c | 0x20) : c;
}

// The character a rule's right context needs second after a focus of `depth` characters: an
// ASCII character, 0 for the word end, kNamesNone when it names none or cannot be skipped.
int32_t SecondNamed(const CompiledRules& rules, int32_t i, size_t depth) {
  using Kind = CompiledItem::Kind;
  const CompiledRule& r = rules.Rules[static_cast<size_t>(i) - 1];
  const CompiledContext& c = r.Right;
  if (r.RightSense && !r.Left.Malformed && IsPlain(c) && r.FocusSize <= depth) {
    // A shorter focus is followed by the rest of the node's text, then by the next character.
    const size_t offset = depth + 1 - r.FocusSize;
    if (offset < c.PlainLetters.size()) return LowerAscii(c.PlainLetters[offset]);
    return offset == c.PlainLetters.size() && c.PlainEnd ? 0 : kNamesNone;
  }
  if (r.FocusSize != depth || !r.RightSense || r.Left.Malformed || c.Any || c.Malformed ||
      c.Items.empty() || c.Items[0].What != Kind::Literal || c.Items[0].Literal.empty())
    return kNamesNone;
  char16_t named = 0;
  if (c.Items[0].Literal.size() >= 2) {
    named = c.Items[0].Literal[1];
  } else if (c.Items.size() >= 2 && c.Items[1].What == Kind::End) {
    return 0;
  } else if (c.Items.size() >= 2 && c.Items[1].What == Kind::Literal &&
             !c.Items[1].Literal.empty()) {
    named = c.Items[1].Literal[0];
  } else {
    return kNamesNone;
  }
  return named > 0 && named < 128 ? LowerAscii(named) : kNamesNone;
}

FocusNode::SecondIndex IndexBySecond(const CompiledRules& rules, const std::vector<int32_t>& list,
                                     size_t depth) {
  FocusNode::SecondIndex index;
  std::vector<int32_t> named(list.size());
  std::vector<char16_t> chars;
  for (size_t k = 0; k < list.size(); ++k) {
    named[k] = SecondNamed(rules, list[k], depth);
    if (named[k] == kNamesNone)
      index.Others.push_back(list[k]);
    else if (std::find(chars.begin(), chars.end(), named[k]) == chars.end())
      chars.push_back(static_cast<char16_t>(named[k]));
  }
  for (char16_t ch : chars) {
    std::vector<int32_t> fits;
    for (size_t k = 0; k < list.size(); ++k)
      if (named[k] == kNamesNone || named[k] == ch) fits.push_back(list[k]);
    index.ByChar.emplace_back(ch, std::move(fits));
  }
  return index;
}

// The narrowing lists only speed up the search: a node left without them hands out all its
// candidates. In the worst case they grow with the square of a group's rules, so a rule file,
// whatever it holds, gets lists until kIndexBudget entries are used (a vector's own bookkeeping
// counted as kVectorCost), and only for foci of up to kIndexedDepth characters.
constexpr size_t kIndexBudget = size_t{1} << 22;
constexpr size_t kVectorCost = 6;
constexpr size_t kIndexedDepth = 8;

void Charge(size_t& budget, const std::vector<std::vector<int32_t>>& lists) {
  size_t used = lists.size() * kVectorCost;
  for (const auto& list : lists) used += list.size();
  budget = used >= budget ? 0 : budget - used;
}

void Charge(size_t& budget, const FocusNode::SecondIndex& index) {
  size_t used = index.Others.size() + kVectorCost * (1 + index.ByChar.size());
  for (const auto& [c, list] : index.ByChar) used += list.size();
  budget = used >= budget ? 0 : budget - used;
}

void SplitByNext(const CompiledRules& rules, FocusNode& n, std::u16string_view text) {
  n.ByNext.assign(FocusNode::kBeyondAscii + 1, {});
  for (size_t b = 0; b <= FocusNode::kBeyondAscii; ++b) {
    std::u16string next = BucketText(b);
    for (int32_t i : n.Candidates) {
      size_t focus = rules.Rules[static_cast<size_t>(i) - 1].FocusSize;
      // A shorter focus is followed by the node's own text.
      std::u16string after = focus < text.size() ? std::u16string(text.substr(focus)) + next : next;
      if (!SkippedAt(rules, i, after, b == FocusNode::kEndOfWord)) n.ByNext[b].push_back(i);
    }
  }
}

// Narrows ByNext[b] by the character before the focus, and the long lists that gives by the
// second character after the node's text.
void SplitBucket(const CompiledRules& rules, FocusNode& n, size_t b, size_t depth, size_t& budget) {
  auto& split = n.ByNextAndBefore[b];
  split.assign(FocusNode::kBeyondAscii + 1, {});
  for (size_t p = 0; p <= FocusNode::kBeyondAscii; ++p) {
    std::u16string before = BucketText(p);
    for (int32_t i : n.ByNext[b]) {
      const CompiledRule& r = rules.Rules[static_cast<size_t>(i) - 1];
      const bool misses =
          (r.LeftSense && r.Left.SurelyMisses(before)) ||
          rules.Screens[static_cast<size_t>(i) - 1].LeftMisses(before, p == FocusNode::kEndOfWord);
      if (!misses) split[p].push_back(i);
    }
  }
  Charge(budget, split);
  if (b >= FocusNode::kEndOfWord) return;
  n.BySecond[b].resize(FocusNode::kBeyondAscii + 1);
  for (size_t p = 0; p <= FocusNode::kBeyondAscii; ++p)
    if (split[p].size() >= kLongList && budget > 0) {
      n.BySecond[b][p] = IndexBySecond(rules, split[p], depth);
      Charge(budget, n.BySecond[b][p]);
    }
}

// Takes `used` entries from the budget the rules' groups share.
void Spend(const CompiledRules& rules, size_t used) {
  std::atomic<size_t>& shared = rules.IndexBudget;
  size_t left = shared.load();
  while (!shared.compare_exchange_weak(left, left > used ? left - used : 0)) {
  }
}

// Builds the first narrowing of the node for `text`, the characters on the way to it, from
// what is left of the rules' budget. Its long lists are split further bucket by bucket, when a
// word first needs one (EnsureSplit): most buckets of a large file are never met.
void IndexNode(const CompiledRules& rules, FocusNode& n, std::u16string_view text) {
  if (text.size() > kIndexedDepth) return;
  const size_t start = rules.IndexBudget.load();
  if (start == 0) return;
  size_t budget = start;
  SplitByNext(rules, n, text);
  Charge(budget, n.ByNext);
  Spend(rules, start - budget);
  n.ByNextAndBefore.resize(FocusNode::kBeyondAscii + 1);
  n.BySecond.resize(FocusNode::kBeyondAscii + 1);
  bool anyLong = false;
  for (const auto& list : n.ByNext) anyLong = anyLong || list.size() >= kLongList;
  if (anyLong) n.Split = std::make_unique<std::atomic<bool>[]>(FocusNode::kBeyondAscii + 1);
}

void EnsureSplit(const CompiledRules& rules, std::mutex& lock, FocusNode& n, size_t b,
                 size_t depth) {
  if (!n.Split || n.Split[b].load(std::memory_order_acquire)) return;
  std::lock_guard guard(lock);
  if (n.Split[b].load(std::memory_order_relaxed)) return;
  const size_t start = rules.IndexBudget.load();
  if (n.ByNext[b].size() >= kLongList && start > 0) {
    size_t budget = start;
    SplitBucket(rules, n, b, depth, budget);
    Spend(rules, start - budget);
  }
  n.Split[b].store(true, std::memory_order_release);
}

bool MatchClass(const CompiledRules& rules, int32_t slot, std::u16string_view& text) {
  if (slot < 0 || text.empty()) return false;
  const std::vector<std::u16string>* members =
      rules.Classes[static_cast<size_t>(slot)].Starting(text.front());
  if (!members) return false;
  for (const std::u16string& member : *members) {
    if (text.starts_with(member)) {
      text.remove_prefix(member.size());
      return true;
    }
  }
  return false;
}

// MatchLiteral, answered without ICU while the characters are equal or differ only in ASCII
// case: equal characters fold alike, so the answer is the same.
bool MatchLiteralQuickly(std::u16string_view& text, std::u16string_view letters) {
  if (letters.empty() || text.size() < letters.size()) return false;
  for (size_t i = 0; i < letters.size(); ++i) {
    char16_t a = text[i];
    char16_t b = letters[i];
    if (a == b) continue;
    if (a >= 0x80 || b >= 0x80) return MatchLiteral(text, letters);
    if ((a | 0x20) != (b | 0x20) || (a | 0x20) < u'a' || (a | 0x20) > u'z') return false;
  }
  text.remove_prefix(letters.size());
  return true;
}

bool MatchOne(const CompiledRules& rules, const CompiledItem& item, std::u16string_view& text) {
  using Kind = CompiledItem::Kind;
  switch (item.What) {
    case Kind::Never:
      return false;
    case Kind::End:
      return text.empty();
    case Kind::Literal:
      return MatchLiteralQuickly(text, item.Literal);
    case Kind::Class:
      return MatchClass(rules, item.ClassIndex, text);
    case Kind::OneOrMore:
    case Kind::ZeroOrMore:
      break;
  }
  int32_t count = 0;
  if (item.OfClass) {
    while (MatchClass(rules, item.ClassIndex, text)) ++count;
  } else {
    while (MatchLiteralQuickly(text, item.Literal)) ++count;
  }
  return count > 0 || item.What == Kind::ZeroOrMore;
}

}  // namespace

const std::vector<std::u16string>* ClassIndex::Starting(char16_t c) const {
  if (c < 128) return AsciiSlot[c] == 0 ? nullptr : &Lists[AsciiSlot[c] - 1u];
  auto it = Other.find(c);
  return it == Other.end() ? nullptr : &it->second;
}

size_t BucketOf(std::u16string_view text) {
  if (text.empty()) return FocusNode::kEndOfWord;
  return text.front() < 128 ? text.front() : FocusNode::kBeyondAscii;
}

const std::vector<int32_t>& GroupIndex::CandidatesFor(const CompiledRules& rules,
                                                      std::u16string_view rest,
                                                      std::u16string_view before) const {
  size_t node = 0, depth = 0;
  for (char16_t c : rest) {
    int32_t child = ChildAt(Nodes[node], c);
    if (child == 0) break;
    node = static_cast<size_t>(child);
    ++depth;
  }
  FocusNode& n = Nodes[node];
  if (!Indexed) return n.Candidates;
  if (!Indexed[node].load(std::memory_order_acquire)) {
    std::lock_guard guard(*Lock);
    if (!Indexed[node].load(std::memory_order_relaxed)) IndexNode(rules, n, rest.substr(0, depth));
    Indexed[node].store(true, std::memory_order_release);
  }
  if (n.ByNext.empty()) return n.Candidates;
  size_t next = BucketOf(rest.substr(depth));
  EnsureSplit(rules, *Lock, n, next, depth);
  const auto& split = n.ByNextAndBefore[next];
  if (split.empty()) return n.ByNext[next];
  size_t p = BucketOf(before);
  if (n.BySecond[next].empty()) return split[p];
  const FocusNode::SecondIndex& second = n.BySecond[next][p];
  if (second.ByChar.empty() && second.Others.empty()) return split[p];
  char16_t c = depth + 1 < rest.size() ? LowerAscii(rest[depth + 1]) : 0;
  if (c >= 128) return split[p];
  for (const auto& [named, list] : second.ByChar)
    if (named == c) return list;
  return second.Others;
}

std::shared_ptr<const CompiledRules> CompileRules(const LetterRuleTables& tables) {
  auto compiled = std::make_shared<CompiledRules>();
  compiled->RuleCount = tables.LetterRules.size();
  compiled->ClassCount = tables.WildCards.size();
  compiled->GroupLetters = tables.GroupLetters;
  compiled->Classes.reserve(tables.WildCards.size());
  for (const std::u16string& members : tables.WildCards) {
    compiled->Classes.push_back(CompileClass(members));
    compiled->ClassLetters.push_back(SingleLetters(compiled->Classes.back()));
  }
  compiled->Rules.reserve(tables.LetterRules.size());
  for (const LetterRule& rule : tables.LetterRules) {
    compiled->Rules.push_back({CompileContext(tables, rule.LeftContext, true),
                               CompileContext(tables, rule.RightContext, false), rule.LeftSense,
                               rule.RightSense, rule.Focus.size()});
    const CompiledRule& r = compiled->Rules.back();
    compiled->AnyMalformed = compiled->AnyMalformed || r.Left.Malformed || r.Right.Malformed;
    compiled->Screens.push_back(ScreenOf(*compiled, r));
  }
  compiled->IndexBudget = kIndexBudget;
  for (const LetterGroup& group : tables.LetterGroups) {
    compiled->Groups.push_back(CompileGroup(tables, group));
    GroupIndex& index = compiled->Groups.back();
    index.Indexed = std::make_unique<std::atomic<bool>[]>(index.Nodes.size());
    index.Lock = std::make_unique<std::mutex>();
  }
  for (char16_t c = 0; c < 128; ++c)
    compiled->AsciiGroup[c] = GroupLetterPosition(tables.GroupLetters, c);
  return compiled;
}

const CompiledRules& EnsureCompiled(LetterRuleTables& tables) {
  const CompiledRules* c = tables.Compiled.get();
  if (!c || c->RuleCount != tables.LetterRules.size() || c->ClassCount != tables.WildCards.size() ||
      c->Groups.size() != tables.LetterGroups.size() || c->GroupLetters != tables.GroupLetters)
    tables.Compiled = CompileRules(tables);
  return *tables.Compiled;
}

bool MatchCompiled(const CompiledRules& rules, const CompiledContext& context,
                   std::u16string_view text, bool& malformed) {
  if (context.Any) return true;
  if (context.Malformed) {
    malformed = true;
    return false;
  }
  if (context.Plain) {
    const std::u16string& letters = context.PlainLetters;
    if (text.size() < letters.size()) return false;
    bool ascii = true;
    for (size_t i = 0; i < letters.size() && ascii; ++i) {
      char16_t a = text[i];
      if (a >= 0x80)
        ascii = false;  // ICU folds some characters to ASCII letters
      else if ((a | 0x20) != (letters[i] | 0x20) || !IsAsciiLetter(a))
        return false;
    }
    if (ascii) return !context.PlainEnd || text.size() == letters.size();
  }
  // Items without a malformed one have no effect but their answer: the first miss decides.
  for (const CompiledItem& item : context.Items)
    if (!MatchOne(rules, item, text)) return false;
  return true;
}

}  // namespace parlan
