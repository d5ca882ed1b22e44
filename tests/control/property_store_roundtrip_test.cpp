// Save then load of the settings file gives back every name and value exactly, whatever text
// they hold: a U+FEFF at the start of the first line must not be taken for a byte-order mark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "parlan/PropertyStore.h"
#include "strings/Unicode.h"
#include "testkit/TestKit.h"

namespace parlan {
namespace {

namespace fs = std::filesystem;
using testkit::ReadBytes;
using testkit::TempDir;

bool SameValue(const Variant& a, const Variant& b) {
  if (a.type() == Variant::Type::Double && b.type() == Variant::Type::Double) {
    const double x = a.AsDouble();
    const double y = b.AsDouble();
    return (std::isnan(x) && std::isnan(y)) || (x == y && std::signbit(x) == std::signbit(y));
  }
  return a == b;
}

// Saves the pairs in order, loads them into a fresh store and expects each back exactly.
void ExpectRoundTrip(const std::vector<std::pair<std::u16string, Variant>>& pairs) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  FilePropertyStore store(file);
  for (const auto& [name, value] : pairs) store.WriteProperty(name, value, Variant());
  ASSERT_TRUE(store.Save());
  FilePropertyStore loaded(file);
  ASSERT_TRUE(loaded.Load());
  const Variant absent(u"\u0001absent");
  for (const auto& [name, value] : pairs) {
    const Variant got = loaded.ReadProperty(name, absent);
    EXPECT_TRUE(SameValue(got, value))
        << "name " << testing::PrintToString(ToUtf8(name)) << " gave "
        << testing::PrintToString(got.type() == Variant::Type::String ? ToUtf8(got.AsString())
                                                                      : "a non-text value")
        << "\nfile:\n"
        << ReadBytes(file);
  }
}

struct BomCase {
  const char* Label;
  std::vector<std::u16string> Names;  // the first is saved on the first line
};

[[maybe_unused]] void PrintTo(const BomCase& c, std::ostream* os) {
  *os << c.Label;
}

class ByteOrderMarkNames : public testing::TestWithParam<BomCase> {};

TEST_P(ByteOrderMarkNames, ComeBackUnchanged) {
  std::vector<std::pair<std::u16string, Variant>> pairs;
  int32_t n = 70000;
  for (const std::u16string& name : GetParam().Names) pairs.emplace_back(name, Variant(n++));
  ExpectRoundTrip(pairs);
}

INSTANTIATE_TEST_SUITE_P(Names, ByteOrderMarkNames,
                         testing::Values(BomCase{"LeadingOnFirstLine", {u"\uFEFFSpeed", u"Pitch"}},
                                         BomCase{"OnlyTheMarkOnFirstLine", {u"\uFEFF", u"Pitch"}},
                                         BomCase{"OnlyTheMarkLater", {u"Pitch", u"\uFEFF"}},
                                         BomCase{"TwoMarks", {u"\uFEFF\uFEFF", u"\uFEFF"}},
                                         BomCase{"MarkInside", {u"Spe\uFEFFed", u"\uFEFF=x"}}),
                         [](const testing::TestParamInfo<BomCase>& info) {
                           return std::string(info.param.Label);
                         });

// Random names and values from an alphabet of the characters that need care in this format.
class RandomText {
 public:
  explicit RandomText(uint32_t seed) : random_(seed) {}

  std::u16string Text(size_t maxLength) {
    static const char16_t kAlphabet[] = {
        u'a', u'Z', u'0',   u'=',   u'"',   u'\\',  u' ',   u'\t',  u'\n',  u'\r',  u'&', u'.',
        u'-', u'e', 0x0001, 0x007F, 0x00C4, 0xFEFF, 0xD800, 0xDC00, 0xFFFE, 0x2028, u'T', u'u'};
    std::u16string text;
    const size_t length = Below(maxLength + 1);
    for (size_t i = 0; i < length; ++i) text.push_back(kAlphabet[Below(std::size(kAlphabet))]);
    return text;
  }

  Variant Value() {
    switch (Below(7)) {
      case 0:
        return Variant();
      case 1:
        return Variant(Below(2) == 0);
      case 2:
        return Variant(static_cast<int16_t>(Below(65536) - 32768));
      case 3:
        return Variant(static_cast<int32_t>(random_()));
      case 4: {
        const double samples[] = {0.0, -0.0, 1.5, -2e300, 1e-310, 3.0, INFINITY, -INFINITY, NAN};
        return Variant(samples[Below(std::size(samples))] * (Below(2) ? 1.0 : 0.1));
      }
      default:
        return Variant(Text(12));
    }
  }

  size_t Below(size_t n) { return static_cast<size_t>(random_() % n); }

 private:
  std::mt19937 random_;
};

TEST(FilePropertyStoreRoundTrip, RandomNamesAndValuesComeBackExactly) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    RandomText random(seed);
    std::vector<std::pair<std::u16string, Variant>> pairs;
    std::vector<std::u16string> seen;
    const size_t count = 1 + random.Below(6);
    for (size_t i = 0; i < count; ++i) {
      std::u16string name = random.Text(8);
      if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
      seen.push_back(name);
      pairs.emplace_back(std::move(name), random.Value());
    }
    SCOPED_TRACE("seed " + std::to_string(seed));
    ExpectRoundTrip(pairs);
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace parlan
