#include "learn/Induce.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

namespace parlan::learn {
namespace {

struct Label {
  std::string Focus;
  std::string Result;
};

struct Case {
  const std::string* Word;
  size_t Pos;
  int Label;
};

struct Cases {
  std::vector<Label> Labels;
  std::vector<Case> All;
};

std::string Joined(const std::vector<std::string>& phonemes) {
  std::string s;
  for (const auto& p : phonemes) s += p;
  return s;
}

Cases CollectCases(const std::vector<AlignedWord>& words) {
  Cases c;
  std::map<std::pair<std::string, std::string>, int> ids;
  for (const AlignedWord& w : words) {
    size_t pos = 0;
    for (const Chunk& chunk : w.Chunks) {
      auto key = std::make_pair(chunk.Letters, Joined(chunk.Phonemes));
      auto [it, added] = ids.emplace(key, static_cast<int>(c.Labels.size()));
      if (added) c.Labels.push_back({key.first, key.second});
      c.All.push_back({&w.Word, pos, it->second});
      pos += chunk.Letters.size();
    }
  }
  return c;
}

// The window of a case: left letters in reading order, then "|", then the letters from the
// focus on; a window that reaches past the word ends with "_" there.
std::string Window(const Case& c, std::pair<int, int> shape) {
  const std::string& w = *c.Word;
  std::string left;
  for (int k = 1; k <= shape.first; ++k) {
    if (c.Pos < static_cast<size_t>(k)) {
      left.insert(left.begin(), '_');
      break;
    }
    left.insert(left.begin(), w[c.Pos - k]);
  }
  std::string right = w.substr(c.Pos, static_cast<size_t>(shape.second));
  if (c.Pos + static_cast<size_t>(shape.second) > w.size()) right += '_';
  return left + "|" + right;
}

size_t CountOf(const std::unordered_map<int, size_t>& counts, int label) {
  auto it = counts.find(label);
  return it == counts.end() ? 0 : it->second;
}

struct Node {
  std::string Window;
  std::unordered_map<int, size_t> Counts;
  size_t Total = 0;
  int Inherited = -1;
  int Best = -1;
};

// The likeliest answer the window can express: its focus must leave at least one window
// element to its right, so that a rule at the word end always knows it is there.
int BestLabel(const Node& n, const Cases& cases) {
  size_t rightSize = n.Window.size() - n.Window.find('|') - 1;
  int best = -1;
  size_t bestCount = 0;
  for (auto [label, count] : n.Counts) {
    const std::string& focus = cases.Labels[label].Focus;
    // A focus letter told only by its class in the window cannot be written.
    if (focus.size() >= rightSize ||
        n.Window.compare(n.Window.size() - rightSize, focus.size(), focus) != 0)
      continue;
    if (count > bestCount || (count == bestCount && label < best)) best = label, bestCount = count;
  }
  return best;
}

LearnedRule MakeRule(const Node& n, const Label& label, int level) {
  size_t bar = n.Window.find('|');
  LearnedRule r;
  r.Left = n.Window.substr(0, bar);
  r.Focus = label.Focus;
  r.Right = n.Window.substr(bar + 1 + label.Focus.size());
  r.Result = label.Result;
  r.Level = level;
  r.Cases = n.Total;
  return r;
}

// One level: the windows of every case, a rule for each window worth one.
void InduceLevel(const Cases& cases, std::vector<int>& answer, int level, const InduceOptions& o,
                 std::vector<LearnedRule>& rules) {
  std::unordered_map<std::string, size_t> index;
  std::vector<Node> nodes;
  std::vector<size_t> nodeOf(cases.All.size());
  for (size_t i = 0; i < cases.All.size(); ++i) {
    std::string w = Window(cases.All[i], o.Shapes[static_cast<size_t>(level)]);
    auto [it, added] = index.emplace(w, nodes.size());
    if (added) nodes.push_back({std::move(w), {}, 0, answer[i], -1});
    Node& n = nodes[it->second];
    ++n.Counts[cases.All[i].Label];
    ++n.Total;
    nodeOf[i] = it->second;
  }
  for (Node& n : nodes) {
    int best = BestLabel(n, cases);
    if (best < 0 || best == n.Inherited || n.Window.starts_with('\'')) continue;
    size_t right = CountOf(n.Counts, best), before = CountOf(n.Counts, n.Inherited);
    if (right < before + o.MinGain) continue;
    n.Best = best;
    rules.push_back(MakeRule(n, cases.Labels[static_cast<size_t>(best)], level));
    rules.back().Gain = right - before;
  }
  for (size_t i = 0; i < cases.All.size(); ++i)
    if (nodes[nodeOf[i]].Best >= 0) answer[i] = nodes[nodeOf[i]].Best;
}

// The places of an adaptive window: for each letter to the left (outward from the focus) and
// each letter from the focus on, whether it is told by letter or by class.
struct Shape {
  std::string Left, Right;  // 'l' letter, 'k' class
};

// The adaptive tree: each window grows by one place to whichever side puts more cases right at
// the next step, so that a letter's rules look left where the left matters (a word start before
// a stressed vowel) and right where the right does (a suffix). With classes a place may be
// told by class first and by letter further down.
class Grower {
 public:
  Grower(const Cases& cases, const InduceOptions& o, std::vector<LearnedRule>& rules)
      : cases_(cases), o_(o), rules_(rules) {
    for (int c = 0; c < 256; ++c) class_[c] = static_cast<char>(c);
    for (char c : o.Classes.Vowels) class_[static_cast<unsigned char>(c)] = kVowelMark;
    for (char c : o.Classes.Consonants) class_[static_cast<unsigned char>(c)] = kConsonantMark;
  }

  void Grow(const std::string& window, const std::vector<uint32_t>& ids, const Shape& shape,
            int inherited, int depth) {
    Node n{window, {}, ids.size(), inherited, -1};
    for (uint32_t id : ids) ++n.Counts[cases_.All[id].Label];
    int answer = Decide(n, depth);
    size_t right = CountOf(n.Counts, answer);
    if (right == n.Total || n.Total - right < o_.MinGain) return;
    std::vector<std::pair<Shape, bool>> options = Options(window, shape);
    if (options.empty()) return;
    Children chosen;
    Shape next;
    double bestScore = -1;
    for (auto& [wider, byClass] : options) {
      Children children = Split(ids, wider);
      double score =
          static_cast<double>(StepGain(children, answer)) * (byClass ? o_.ClassBonus : 1);
      if (score > bestScore) {
        bestScore = score;
        chosen = std::move(children);
        next = wider;
      }
    }
    for (auto& [w, childIds] : chosen) Grow(w, childIds, next, answer, depth + 1);
  }

 private:
  using Children = std::vector<std::pair<std::string, std::vector<uint32_t>>>;

  // The shapes one step wider, each with whether the new split is by class.
  std::vector<std::pair<Shape, bool>> Options(const std::string& window, const Shape& s) const {
    std::vector<std::pair<Shape, bool>> out;
    bool classes = o_.ClassBonus > 0;
    bool rightOpen = static_cast<int>(s.Right.size()) < o_.MaxRight && window.back() != '_';
    bool leftOpen =
        s.Right.size() >= 2 && static_cast<int>(s.Left.size()) < o_.MaxLeft && window[0] != '_';
    if (rightOpen) out.push_back({{s.Left, s.Right + 'l'}, false});
    if (leftOpen) out.push_back({{s.Left + 'l', s.Right}, false});
    if (classes && rightOpen) out.push_back({{s.Left, s.Right + 'k'}, true});
    if (classes && leftOpen) out.push_back({{s.Left + 'k', s.Right}, true});
    for (size_t k = 0; k < s.Left.size(); ++k)
      if (s.Left[k] == 'k') {
        Shape r = s;
        r.Left[k] = 'l';
        out.push_back({r, false});
      }
    for (size_t k = 0; k < s.Right.size(); ++k)
      if (s.Right[k] == 'k') {
        Shape r = s;
        r.Right[k] = 'l';
        out.push_back({r, false});
      }
    return out;
  }

  std::string WindowOf(const Case& c, const Shape& shape) const {
    const std::string& w = *c.Word;
    std::string left;
    for (size_t k = 1; k <= shape.Left.size(); ++k) {
      if (c.Pos < k) {
        left.insert(left.begin(), '_');
        break;
      }
      char ch = w[c.Pos - k];
      left.insert(left.begin(),
                  shape.Left[k - 1] == 'k' ? class_[static_cast<unsigned char>(ch)] : ch);
    }
    std::string right;
    for (size_t k = 0; k < shape.Right.size(); ++k) {
      if (c.Pos + k >= w.size()) {
        right += '_';
        break;
      }
      char ch = w[c.Pos + k];
      right += shape.Right[k] == 'k' ? class_[static_cast<unsigned char>(ch)] : ch;
    }
    return left + "|" + right;
  }

  // The node's answer: its own rule when worth one, else the one it inherits.
  int Decide(Node& n, int depth) {
    int best = BestLabel(n, cases_);
    if (best < 0 || best == n.Inherited || n.Window.starts_with('\'')) return n.Inherited;
    size_t right = CountOf(n.Counts, best), before = CountOf(n.Counts, n.Inherited);
    if (right < before + o_.MinGain) return n.Inherited;
    rules_.push_back(MakeRule(n, cases_.Labels[static_cast<size_t>(best)], depth));
    rules_.back().Gain = right - before;
    return best;
  }

  Children Split(const std::vector<uint32_t>& ids, const Shape& shape) const {
    std::unordered_map<std::string, size_t> index;
    Children out;
    for (uint32_t id : ids) {
      std::string w = WindowOf(cases_.All[id], shape);
      auto [it, added] = index.emplace(w, out.size());
      if (added) out.emplace_back(std::move(w), std::vector<uint32_t>{});
      out[it->second].second.push_back(id);
    }
    return out;
  }

  // Cases the children would put right beyond the answer they inherit.
  size_t StepGain(const Children& children, int answer) const {
    size_t gain = 0;
    for (const auto& [w, ids] : children) {
      Node n{w, {}, ids.size(), answer, -1};
      for (uint32_t id : ids) ++n.Counts[cases_.All[id].Label];
      int best = BestLabel(n, cases_);
      size_t right = best < 0 ? 0 : CountOf(n.Counts, best), before = CountOf(n.Counts, answer);
      if (right >= before + o_.MinGain) gain += right - before;
    }
    return gain;
  }

  const Cases& cases_;
  const InduceOptions& o_;
  std::vector<LearnedRule>& rules_;
  char class_[256];
};

// A group's answer when no window fits: its likeliest one-letter answer, at the word end and
// elsewhere.
std::vector<LearnedRule> CatchAll(char letter, const Cases& cases, size_t& count, int& label) {
  std::unordered_map<int, size_t> counts;
  count = 0;
  for (const Case& c : cases.All)
    if ((*c.Word)[c.Pos] == letter) {
      ++count;
      if (cases.Labels[static_cast<size_t>(c.Label)].Focus.size() == 1) ++counts[c.Label];
    }
  label = -1;
  size_t best = 0;
  for (auto [l, n] : counts)
    if (n > best || (n == best && l < label)) label = l, best = n;
  std::string result = label < 0 ? "" : cases.Labels[static_cast<size_t>(label)].Result;
  std::string focus(1, letter);
  return {{"", focus, "_", result, -1, count, 0}, {"", focus, "", result, -1, count, 0}};
}

}  // namespace

std::vector<LetterGroupRules> Induce(const std::vector<AlignedWord>& words,
                                     const InduceOptions& options) {
  Cases cases = CollectCases(words);
  std::map<char, LetterGroupRules> groups;
  std::map<char, int> fallback;
  for (const Case& c : cases.All) groups[(*c.Word)[c.Pos]].Letter = (*c.Word)[c.Pos];
  for (auto& [letter, g] : groups) g.Rules = CatchAll(letter, cases, g.Cases, fallback[letter]);
  std::vector<int> answer(cases.All.size());
  for (size_t i = 0; i < cases.All.size(); ++i)
    answer[i] = fallback[(*cases.All[i].Word)[cases.All[i].Pos]];
  std::vector<LearnedRule> rules;
  if (options.Adaptive) {
    Grower grower(cases, options, rules);
    std::map<char, std::vector<uint32_t>> byLetter;
    for (size_t i = 0; i < cases.All.size(); ++i)
      byLetter[(*cases.All[i].Word)[cases.All[i].Pos]].push_back(static_cast<uint32_t>(i));
    for (auto& [letter, ids] : byLetter)
      grower.Grow("|" + std::string(1, letter), ids, {"", "l"}, fallback[letter], 0);
  } else {
    for (size_t level = 0; level < options.Shapes.size(); ++level)
      InduceLevel(cases, answer, static_cast<int>(level), options, rules);
  }
  std::stable_sort(rules.begin(), rules.end(),
                   [](const LearnedRule& a, const LearnedRule& b) { return a.Level > b.Level; });
  std::vector<LetterGroupRules> out;
  for (auto& [letter, g] : groups) {
    std::vector<LearnedRule> mine;
    for (const LearnedRule& r : rules)
      if (r.Focus.front() == letter) mine.push_back(r);
    // A learned word-end rule of the whole group shadows the catch-all one.
    bool shadowed = std::any_of(mine.begin(), mine.end(), [](const LearnedRule& r) {
      return r.Left.empty() && r.Right == "_" && r.Focus.size() == 1;
    });
    mine.insert(mine.end(), g.Rules.begin() + (shadowed ? 1 : 0), g.Rules.end());
    g.Rules = std::move(mine);
    out.push_back(std::move(g));
  }
  return out;
}

LetterClasses ClassesOf(const std::vector<AlignedWord>& words) {
  std::set<std::string> vowels = {"@"};
  for (const AlignedWord& w : words)
    for (const Chunk& c : w.Chunks)
      for (const auto& p : c.Phonemes)
        if (p.starts_with('\'')) vowels.insert(p.substr(1));
  std::map<char, std::pair<size_t, size_t>> said;  // letter: chunks with a vowel, all chunks
  for (const AlignedWord& w : words)
    for (const Chunk& c : w.Chunks) {
      auto& [voiced, all] = said[c.Letters.front()];
      ++all;
      for (const auto& p : c.Phonemes)
        if (vowels.count(p.starts_with('\'') ? p.substr(1) : p)) {
          ++voiced;
          break;
        }
    }
  LetterClasses classes;
  for (auto [letter, counts] : said) {
    if (letter < 'a' || letter > 'z') continue;
    // A third: the silent final e and the consonant y of English still count as vowels.
    (3 * counts.first > counts.second ? classes.Vowels : classes.Consonants) += letter;
  }
  return classes;
}

size_t RuleCount(const std::vector<LetterGroupRules>& groups) {
  size_t n = 0;
  for (const auto& g : groups) n += g.Rules.size();
  return n;
}

}  // namespace parlan::learn
