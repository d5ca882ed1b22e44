// Hard EM: align every word with the current chunk scores, count the chunks of the best
// alignments, and make the scores the log of the counts' shares; a few rounds settle it.
#include "learn/Align.h"

#include <cmath>
#include <limits>
#include <unordered_map>

namespace parlan::learn {
namespace {

constexpr int kMaxLetters = 2;
constexpr int kMaxPhonemes = 2;
constexpr double kNone = -std::numeric_limits<double>::infinity();

struct Model {
  std::unordered_map<std::string, double> Score;  // log share of a chunk pair
  bool Trained = false;
};

std::string Key(std::string_view letters, const std::vector<std::string>& phones, size_t at,
                size_t count) {
  std::string key(letters);
  key += '|';
  for (size_t k = 0; k < count; ++k) {
    if (k) key += ' ';
    key += phones[at + k];
  }
  return key;
}

// Before any counts: one letter to one phoneme is likeliest, the other shapes cost more.
double ShapeScore(int letters, int phones) {
  if (letters == 1 && phones == 1) return 0.0;
  if (letters == 1) return phones == 0 ? -2.0 : -3.0;
  return phones == 1 ? -3.0 : -5.0;
}

double PairScore(const Model& m, const std::string& key, int letters, int phones) {
  if (!m.Trained) return ShapeScore(letters, phones);
  auto it = m.Score.find(key);
  return it == m.Score.end() ? -30.0 : it->second;
}

struct Step {
  double Score = kNone;
  int Letters = 0, Phones = 0;
};

// The best alignment of one word under the model: chunk shapes from the end back.
std::vector<std::pair<int, int>> BestShapes(const Model& m, const std::string& w,
                                            const std::vector<std::string>& p) {
  const size_t n = w.size(), q = p.size();
  std::vector<Step> best((n + 1) * (q + 1));
  auto at = [&](size_t i, size_t j) -> Step& { return best[i * (q + 1) + j]; };
  at(0, 0).Score = 0.0;
  for (size_t i = 0; i <= n; ++i)
    for (size_t j = 0; j <= q; ++j) {
      if (at(i, j).Score == kNone) continue;
      for (int a = 1; a <= kMaxLetters && i + a <= n; ++a)
        for (int b = 0; b <= kMaxPhonemes && j + b <= q; ++b) {
          double s =
              at(i, j).Score + PairScore(m, Key(std::string_view(w).substr(i, a), p, j, b), a, b);
          Step& next = at(i + a, j + b);
          if (s > next.Score) next = {s, a, b};
        }
    }
  std::vector<std::pair<int, int>> shapes;
  if (at(n, q).Score == kNone) return shapes;
  for (size_t i = n, j = q; i > 0;) {
    const Step& s = at(i, j);
    shapes.insert(shapes.begin(), {s.Letters, s.Phones});
    i -= s.Letters;
    j -= s.Phones;
  }
  return shapes;
}

Model Reestimate(const std::vector<Entry>& entries, const Model& m) {
  std::unordered_map<std::string, double> counts;
  double total = 0;
  for (const Entry& e : entries) {
    std::vector<std::string> p = Unstressed(e.Phonemes);
    size_t i = 0, j = 0;
    for (auto [a, b] : BestShapes(m, e.Word, p)) {
      counts[Key(std::string_view(e.Word).substr(i, a), p, j, b)] += 1;
      total += 1;
      i += a;
      j += b;
    }
  }
  Model next;
  next.Trained = true;
  for (auto& [key, c] : counts) next.Score[key] = std::log(c / total);
  return next;
}

}  // namespace

std::vector<AlignedWord> Align(const std::vector<Entry>& entries, const AlignOptions& options) {
  Model m;
  for (int round = 0; round < options.Iterations; ++round) m = Reestimate(entries, m);
  std::vector<AlignedWord> out;
  out.reserve(entries.size());
  for (const Entry& e : entries) {
    auto shapes = BestShapes(m, e.Word, Unstressed(e.Phonemes));
    if (shapes.empty()) continue;
    AlignedWord w{e.Word, {}};
    size_t i = 0, j = 0;
    for (auto [a, b] : shapes) {
      w.Chunks.push_back({e.Word.substr(i, a),
                          {e.Phonemes.begin() + static_cast<long>(j),
                           e.Phonemes.begin() + static_cast<long>(j + b)}});
      i += a;
      j += b;
    }
    out.push_back(std::move(w));
  }
  return out;
}

}  // namespace parlan::learn
