// UTF-8 / UTF-16 conversion and comparison without regard to case.
#include "strings/Unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace parlan {
namespace {

struct Utf8Case {
  const char* Name;
  std::string Bytes;
  bool Valid;
  std::u16string Text;  // the decoded text when valid
};

[[maybe_unused]] void PrintTo(const Utf8Case& c, std::ostream* os) {
  *os << c.Name;
}

const std::vector<Utf8Case> kUtf8Cases = {
    {"Empty", "", true, u""},
    {"Ascii", "abc", true, u"abc"},
    {"Greek", "\xce\xb1\xce\xb2", true, u"\u03b1\u03b2"},
    {"GermanSharpS",
     "Stra\xc3\x9f"
     "e",
     true, u"Stra\u00dfe"},
    {"ThreeBytes", "\xe2\x82\xac", true, u"\u20ac"},
    {"OutsideBmpBecomesSurrogatePair", "\xf0\x9f\x98\x80", true, u"\U0001F600"},
    {"EmbeddedNul", std::string("a\0b", 3), true, std::u16string(u"a\0b", 3)},
    {"LoneContinuationByte", "a\x80", false, u""},
    {"Latin1Byte", "caf\xe9", false, u""},
    {"TruncatedSequence", "\xe2\x82", false, u""},
    {"OverlongNul", "\xc0\x80", false, u""},
    {"EncodedSurrogate", "\xed\xa0\x80", false, u""},
    {"BeyondUnicode", "\xf4\x90\x80\x80", false, u""},
};

class Utf8Test : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Test, StrictConversion) {
  const Utf8Case& c = GetParam();
  std::u16string out = u"untouched";
  EXPECT_EQ(Utf8ToUtf16(c.Bytes, out), c.Valid);
  EXPECT_EQ(out, c.Valid ? c.Text : u"untouched");
}

TEST_P(Utf8Test, LenientConversionFallsBackToLatin1) {
  const Utf8Case& c = GetParam();
  std::u16string expected;
  if (c.Valid) {
    expected = c.Text;
  } else {
    for (unsigned char b : c.Bytes) expected.push_back(b);
  }
  EXPECT_EQ(Utf8OrLatin1ToUtf16(c.Bytes), expected);
}

INSTANTIATE_TEST_SUITE_P(Bytes, Utf8Test, testing::ValuesIn(kUtf8Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ToUtf8, ValidTextRoundTrips) {
  for (const Utf8Case& c : kUtf8Cases) {
    if (c.Valid) {
      EXPECT_EQ(ToUtf8(c.Text), c.Bytes) << c.Name;
    }
  }
}

TEST(Utf8ToUtf16, DefaultViewIsEmptyText) {
  std::u16string out = u"x";
  EXPECT_TRUE(Utf8ToUtf16(std::string_view(), out));
  EXPECT_EQ(out, u"");
}

TEST(ToUtf8, UnpairedSurrogateBecomesReplacementCharacter) {
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
  EXPECT_EQ(ToUtf8(u"a" + std::u16string(1, char16_t(0xDC00)) + u"b"),
            "a\xef\xbf\xbd"
            "b");
  EXPECT_EQ(ToUtf8(std::u16string_view()), "");
}

TEST(U16, DecodesUtf8Literals) {
  EXPECT_EQ(U16("\xce\xb1"), u"\u03b1");
  EXPECT_EQ(U16("plain"), u"plain");
}

TEST(LowerCase, AsciiAndBeyond) {
  const std::vector<std::pair<std::u16string, std::u16string>> cases = {
      {u"", u""},
      {u"ABC def 12!", u"abc def 12!"},
      {u"\u0391\u0392\u0393", u"\u03b1\u03b2\u03b3"},              // Greek capitals
      {u"\u0386\u0388", u"\u03ac\u03ad"},                          // Greek with tonos
      {u"\u039f\u0394\u039f\u03a3", u"\u03bf\u03b4\u03bf\u03c2"},  // final sigma at word end
      {u"\u03a3\u039f", u"\u03c3\u03bf"},                          // sigma inside a word
      {u"\u00c4\u00d6\u00dc", u"\u00e4\u00f6\u00fc"},              // German umlauts
      {u"STRA\u00dfE", u"stra\u00dfe"},                            // sharp s stays
      {u"\u1e9e", u"\u00df"},                                      // capital sharp s
      {u"\u0410\u0411", u"\u0430\u0431"},                          // Cyrillic
      {u"\u0130", u"i\u0307"},  // dotted capital I: root rules keep the dot as a combining mark
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(LowerCase(in), out);
}

struct CompareCase {
  std::u16string A;
  std::u16string B;
  bool Equal;
};

TEST(EqualsIgnoreCase, FullCaseFolding) {
  const std::vector<CompareCase> cases = {
      {u"", u"", true},
      {u"abc", u"ABC", true},
      {u"abc", u"abd", false},
      {u"abc", u"ab", false},
      {u"\u03b1\u03b2\u03b3", u"\u0391\u0392\u0393", true},
      {u"\u03c3", u"\u03c2", true},  // final and medial sigma fold alike
      {u"\u00e4", u"\u00c4", true},
      {u"stra\u00dfe", u"STRASSE", true},  // sharp s folds to "ss"
      {u"\u00e4", u"a", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EqualsIgnoreCase(c.A, c.B), c.Equal);
    EXPECT_EQ(EqualsIgnoreCase(c.B, c.A), c.Equal);
  }
}

TEST(EqualsIgnoreCase, DefaultViewsAreEmptyText) {
  EXPECT_TRUE(EqualsIgnoreCase(std::u16string_view(), std::u16string_view()));
  EXPECT_TRUE(EqualsIgnoreCase(std::u16string_view(), u""));
  EXPECT_FALSE(EqualsIgnoreCase(std::u16string_view(), u"a"));
}

TEST(StartsWithIgnoreCase, Cases) {
  const std::vector<CompareCase> cases = {
      {u"GENDER=Male", u"gender=", true},
      {u"gender=", u"GENDER=", true},
      {u"GEND", u"gender", false},
      {u"abc", u"", true},
      {u"", u"", true},
      {u"\u0393\u039b\u03a9\u03a3\u03a3\u0391", u"\u03b3\u03bb\u03c9", true},
      {u"xGENDER", u"gender", false},
  };
  for (const auto& c : cases) EXPECT_EQ(StartsWithIgnoreCase(c.A, c.B), c.Equal);
}

struct FindCase {
  std::u16string Hay;
  std::u16string Needle;
  size_t Expected;
};

TEST(InStrIgnoreCase, OneBasedPositionOrZero) {
  const std::vector<FindCase> cases = {
      {u"English Female (Parlan)", u"female", 9},
      {u"English Male (Parlan)", u"female", 0},
      {u"abc", u"", 0},
      {u"", u"a", 0},
      {u"abc", u"ABC", 1},
      {u"abc", u"abcd", 0},
      {u"xx\u0391\u0392", u"\u03b1\u03b2", 3},
      {u"aAa", u"A", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(InStrIgnoreCase(c.Hay, c.Needle), c.Expected);
}

}  // namespace
}  // namespace parlan
