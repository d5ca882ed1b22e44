// Numbers written into texts and read from the front of configuration values.
#include "strings/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace parlan {
namespace {

TEST(FormatSigned, LeadingBlankUnlessNegative) {
  const std::vector<std::pair<int64_t, std::u16string>> cases = {
      {5, u" 5"},
      {-5, u"-5"},
      {0, u" 0"},
      {12345, u" 12345"},
      {-32768, u"-32768"},
      {std::numeric_limits<int64_t>::max(), u" 9223372036854775807"},
      {std::numeric_limits<int64_t>::min(), u"-9223372036854775808"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FormatSigned(value), text) << value;
}

struct LeadingCase {
  std::u16string Text;
  double Expected;
};

TEST(LeadingNumber, ReadsTheNumberAtTheFront) {
  const std::vector<LeadingCase> cases = {
      {u"5", 5},       {u" 5", 5},      {u"5.0", 5}, {u"05x", 5},    {u"", 0},
      {u"abc", 0},     {u"1.4", 1.4},   {u"-3", -3}, {u"1e2", 100},  {u"\t 7", 7},
      {u"+2", 2},      {u".5", 0.5},    {u"5.", 5},  {u".", 0},      {u"-", 0},
      {u"-.", 0},      {u"1e", 1},      {u"1e+", 1}, {u"1e-1", 0.1}, {u"2E3", 2000},
      {u"1.2.3", 1.2}, {u"12 34", 12},  {u"x5", 0},  {u"e5", 0},     {u"- 5", 0},
      {u"1033", 1033}, {u"161\r", 161}, {u"3,5", 3}, {u"1e-400", 0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.Text), c.Expected);
}

TEST(LeadingNumber, OverflowingExponentGivesNoValueThatFits16Bits) {
  EXPECT_TRUE(std::isinf(LeadingNumber(u"1e400")));
  EXPECT_LT(LeadingNumber(u"-1e400"), 0);
  EXPECT_FALSE(NarrowTo16(LeadingNumber(u"1e400")).has_value());
  EXPECT_FALSE(NarrowTo16(LeadingNumber(u"-1e400")).has_value());
}

// A host may switch the C library to a locale whose decimal separator is a comma; numbers in
// language files always use a point.
TEST(LeadingNumber, DoesNotDependOnTheProcessLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE") &&
      !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  double value = LeadingNumber(u"1.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_DOUBLE_EQ(value, 1.5);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  const std::vector<std::pair<double, double>> cases = {
      {0.5, 0},   {1.5, 2},  {2.5, 2},  {3.5, 4}, {-0.5, 0}, {-1.5, -2},
      {-2.5, -2}, {0.49, 0}, {0.51, 1}, {2.6, 3}, {7, 7},    {-2.4, -2},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(RoundHalfEven(in), out) << in;
}

TEST(NarrowTo16, IntegersInAndOutOfRange) {
  const std::vector<std::pair<int64_t, std::optional<int16_t>>> cases = {
      {0, 0},
      {32767, 32767},
      {-32768, -32768},
      {32768, std::nullopt},
      {-32769, std::nullopt},
      {std::numeric_limits<int64_t>::max(), std::nullopt},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NarrowTo16(in), out) << in;
}

TEST(NarrowTo16, DoublesAreRoundedHalfEvenFirst) {
  const std::vector<std::pair<double, std::optional<int16_t>>> cases = {
      {2.5, 2},
      {3.5, 4},
      {-0.5, 0},
      {32767.4, 32767},
      {32767.5, std::nullopt},  // rounds to 32768
      {-32768.5, -32768},       // rounds to the even -32768
      {-32769.0, std::nullopt},
      {std::numeric_limits<double>::infinity(), std::nullopt},
      {-std::numeric_limits<double>::infinity(), std::nullopt},
      {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
      {1e300, std::nullopt},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NarrowTo16(in), out) << in;
}

}  // namespace
}  // namespace parlan
