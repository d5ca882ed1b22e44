// The memory and file property stores: defaults, round trips of every value type through the
// file, damaged files, and saving that never leaves a half-written file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "parlan/PropertyStore.h"
#include "strings/Unicode.h"
#include "testkit/TestKit.h"

namespace parlan {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testkit::ReadBytes;
using testkit::TempDir;
using testkit::WriteBytes;

// Values with the same type and content; a NaN equals a NaN.
bool SameValue(const Variant& a, const Variant& b) {
  if (a.type() == Variant::Type::Double && b.type() == Variant::Type::Double &&
      std::isnan(a.AsDouble()) && std::isnan(b.AsDouble()))
    return true;
  if (a.type() == Variant::Type::Double && b.type() == Variant::Type::Double)
    return a.AsDouble() == b.AsDouble() && std::signbit(a.AsDouble()) == std::signbit(b.AsDouble());
  return a == b;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

TEST(MemoryPropertyStore, MissingKeyGivesTheDefaultAndSavedValueWins) {
  MemoryPropertyStore store;
  EXPECT_EQ(store.ReadProperty(u"CurrentMode", Variant(int32_t{1})), Variant(int32_t{1}));
  store.WriteProperty(u"CurrentMode", Variant(int32_t{7}), Variant(int32_t{1}));
  EXPECT_EQ(store.ReadProperty(u"CurrentMode", Variant(int32_t{1})), Variant(int32_t{7}));
  // A value equal to its default is still kept, so the host sees every setting it saved.
  store.WriteProperty(u"NeverDebug", Variant(int16_t{0}), Variant(int16_t{0}));
  EXPECT_EQ(store.Values().count(u"NeverDebug"), 1u);
  EXPECT_EQ(store.ReadProperty(u"currentmode", Variant()), Variant());
}

struct RoundTripCase {
  const char* Label;
  Variant Value;
};

[[maybe_unused]] void PrintTo(const RoundTripCase& c, std::ostream* os) {
  *os << c.Label;
}

std::vector<RoundTripCase> RoundTripCases() {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  return {
      {"Empty", Variant()},
      {"True", Variant(true)},
      {"False", Variant(false)},
      {"IntegerZero", Variant(int16_t{0})},
      {"IntegerMin", Variant(std::numeric_limits<int16_t>::min())},
      {"IntegerMax", Variant(std::numeric_limits<int16_t>::max())},
      {"LongSmall", Variant(int32_t{5})},
      {"LongNegativeSmall", Variant(int32_t{-1})},
      {"LongBeyond16Bits", Variant(int32_t{32768})},
      {"LongMin", Variant(std::numeric_limits<int32_t>::min())},
      {"LongMax", Variant(std::numeric_limits<int32_t>::max())},
      {"DoubleWhole", Variant(3.0)},
      {"DoubleFraction", Variant(0.1)},
      {"DoubleNegativeZero", Variant(-0.0)},
      {"DoubleHuge", Variant(1e300)},
      {"DoubleTiny", Variant(5e-324)},
      {"DoubleBeyond32Bits", Variant(4294967296.0)},
      {"DoubleNaN", Variant(nan)},
      {"DoubleInfinity", Variant(inf)},
      {"DoubleMinusInfinity", Variant(-inf)},
      {"StringPlain", Variant(u"English Male (Parlan)")},
      {"StringEmpty", Variant(u"")},
      {"StringLooksTrue", Variant(u"True")},
      {"StringLooksFalseLowerCase", Variant(u"false")},
      {"StringLooksInteger", Variant(u"12")},
      {"StringLooksLong", Variant(u"5&")},
      {"StringLooksDouble", Variant(u"1.5")},
      {"StringLooksNaN", Variant(u"nan")},
      {"StringLooksInfinity", Variant(u"-inf")},
      {"StringBlanksAround", Variant(u"  padded\t")},
      {"StringQuoted", Variant(u"\"quoted\"")},
      {"StringBackslashes", Variant(u"C:\\KESTA Parlan\\")},
      {"StringLineBreaks", Variant(u"one\ntwo\r\nthree\r")},
      {"StringControlCharacters", Variant(std::u16string(u"a\0b\x1b\x7F", 5))},
      {"StringEquals", Variant(u"a=b=c")},
      {"StringUnicode", Variant(u"\u00e9l\u00e8ve \u4e2d\u6587 \U0001F600")},
      {"StringLoneSurrogates", Variant(std::u16string(u"x\xD800y\xDC00"))},
      {"StringHugeNumber", Variant(u"1e999")},
      {"StringEscapeLookalike", Variant(u"\\u0041\\n")},
  };
}

class FileRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(FileRoundTrip, ValueComesBackWithItsType) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  const Variant& value = GetParam().Value;
  {
    FilePropertyStore store(file);
    store.WriteProperty(u"Before", Variant(int16_t{1}), Variant());
    store.WriteProperty(u"Value", value, Variant());
    store.WriteProperty(u"After", Variant(u"end"), Variant());
    ASSERT_TRUE(store.Save());
  }
  FilePropertyStore loaded(file);
  ASSERT_TRUE(loaded.Load()) << ReadBytes(file);
  Variant back = loaded.ReadProperty(u"Value", Variant(u"missing"));
  EXPECT_TRUE(SameValue(back, value)) << ReadBytes(file);
  // The neighbours survive whatever the value held.
  EXPECT_EQ(loaded.ReadProperty(u"Before", Variant()), Variant(int16_t{1})) << ReadBytes(file);
  EXPECT_EQ(loaded.ReadProperty(u"After", Variant()), Variant(u"end")) << ReadBytes(file);
  // Saving what was loaded gives the same file again.
  const std::string first = ReadBytes(file);
  ASSERT_TRUE(loaded.Save());
  EXPECT_EQ(ReadBytes(file), first);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, FileRoundTrip, testing::ValuesIn(RoundTripCases()),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST(FilePropertyStore, NamesThatNeedQuotingRoundTrip) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  const std::vector<std::u16string> names = {u"a=b", u" blank",     u"\"q",  u"line\nbreak",
                                             u"",    u"\u00c4rger", u"plain"};
  FilePropertyStore store(file);
  for (size_t i = 0; i < names.size(); ++i)
    store.WriteProperty(names[i], Variant(static_cast<int32_t>(100000 + i)), Variant());
  ASSERT_TRUE(store.Save());
  FilePropertyStore loaded(file);
  ASSERT_TRUE(loaded.Load());
  for (size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(loaded.ReadProperty(names[i], Variant()), Variant(static_cast<int32_t>(100000 + i)))
        << ToUtf8(names[i]) << "\n"
        << ReadBytes(file);
}

TEST(FilePropertyStore, SavesInFirstWriteOrderWithLastValue) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  FilePropertyStore store(file);
  store.WriteProperty(u"CurrentMode", Variant(int32_t{3}), Variant(int32_t{1}));
  store.WriteProperty(u"Sapi5Pitch", Variant(int16_t{-4}), Variant(int16_t{0}));
  store.WriteProperty(u"ParlanVolume", Variant(int32_t{70000}), Variant(int32_t{10}));
  store.WriteProperty(u"CurrentMode", Variant(int32_t{7}), Variant(int32_t{1}));
  ASSERT_TRUE(store.Save());
  EXPECT_EQ(ReadBytes(file), "CurrentMode=7&\nSapi5Pitch=-4\nParlanVolume=70000\n");
}

TEST(FilePropertyStore, MissingFileIsAnEmptyStoreGivingDefaults) {
  TempDir dir;
  FilePropertyStore store(dir.Path() / "none.txt");
  EXPECT_TRUE(store.Load());
  EXPECT_EQ(store.ReadProperty(u"ParlanVolume", Variant(int32_t{10})), Variant(int32_t{10}));
  EXPECT_EQ(store.ReadProperty(u"Anything", Variant()), Variant());
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

TEST(FilePropertyStore, LoadReplacesWhatWasHeld) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  WriteBytes(file, "A=1\n");
  FilePropertyStore store(file);
  store.WriteProperty(u"B", Variant(int16_t{2}), Variant());
  ASSERT_TRUE(store.Load());
  EXPECT_EQ(store.ReadProperty(u"A", Variant()), Variant(int16_t{1}));
  EXPECT_EQ(store.ReadProperty(u"B", Variant()), Variant());
}

TEST(FilePropertyStore, HandWrittenFileIsTypedByItsText) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  WriteBytes(file,
             "\xEF\xBB\xBF"
             "Flag = true\r\n"
             "\tSmall=\t-12 \r\n"
             "\n"
             "Big=123456\n"
             "Huge=12345678901\n"
             "Real=+2.5e1\n"
             "Text=Hello world\n"
             "Nothing=\n"
             "Twice=first\n"
             "Twice=second\n");
  FilePropertyStore store(file);
  ASSERT_TRUE(store.Load());
  EXPECT_EQ(store.ReadProperty(u"Flag", Variant()), Variant(true));
  EXPECT_EQ(store.ReadProperty(u"Small", Variant()), Variant(int16_t{-12}));
  EXPECT_EQ(store.ReadProperty(u"Big", Variant()), Variant(int32_t{123456}));
  EXPECT_EQ(store.ReadProperty(u"Huge", Variant()), Variant(12345678901.0));
  EXPECT_EQ(store.ReadProperty(u"Real", Variant()), Variant(25.0));
  EXPECT_EQ(store.ReadProperty(u"Text", Variant()), Variant(u"Hello world"));
  EXPECT_EQ(store.ReadProperty(u"Nothing", Variant(u"default")), Variant());
  EXPECT_EQ(store.ReadProperty(u"Twice", Variant()), Variant(u"second"));
}

TEST(FilePropertyStore, NumbersComeBackInTheTypeOfTheDefaultWhenExact) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  WriteBytes(file, "CurrentMode=5\nSapi5Pitch=70000\nRate=2.0\nHalf=2.5\nFlag=True\n");
  FilePropertyStore store(file);
  ASSERT_TRUE(store.Load());
  EXPECT_EQ(store.ReadProperty(u"CurrentMode", Variant(int32_t{1})), Variant(int32_t{5}));
  EXPECT_EQ(store.ReadProperty(u"CurrentMode", Variant(2.0)), Variant(5.0));
  // Does not fit the default's 16 bits: the saved Long comes back as it is.
  EXPECT_EQ(store.ReadProperty(u"Sapi5Pitch", Variant(int16_t{0})), Variant(int32_t{70000}));
  EXPECT_EQ(store.ReadProperty(u"Rate", Variant(int16_t{0})), Variant(int16_t{2}));
  EXPECT_EQ(store.ReadProperty(u"Half", Variant(int32_t{0})), Variant(2.5));
  EXPECT_EQ(store.ReadProperty(u"Flag", Variant(int16_t{0})), Variant(true));
  EXPECT_EQ(store.ReadProperty(u"CurrentMode", Variant(u"text")), Variant(int16_t{5}));
}

struct DamagedCase {
  const char* Label;
  std::string Bytes;
};

[[maybe_unused]] void PrintTo(const DamagedCase& c, std::ostream* os) {
  *os << c.Label;
}

// Each file holds "Good=1" and "Last=<something>" around a damaged line where readable.
std::vector<DamagedCase> DamagedCases() {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 131 + 7) % 256));
  return {
      {"LineWithoutEquals", "Good=1\nno equals sign here\nLast=2\n"},
      {"EmptyName", "Good=1\n=5\n  = 6\nLast=2\n"},
      {"UnclosedQuote", "Good=1\nText=\"cut sh\nLast=2\n"},
      {"UnclosedQuotedName", "Good=1\n\"Name=5\nLast=2\n"},
      {"QuotedNameWithoutEquals", "Good=1\n\"Name\" 5\nLast=2\n"},
      {"TextAfterQuote", "Good=1\nText=\"a\" b\nLast=2\n"},
      {"BadEscape", "Good=1\nText=\"a\\qb\"\nLast=2\n"},
      {"ShortHexEscape", "Good=1\nText=\"\\u12\"\nLast=2\n"},
      {"HexEscapeAtEnd", "Good=1\nText=\"\\u\nLast=2\n"},
      {"InvalidUtf8", "Good=1\nText=\xC3\x28\xFF\xFE\nLast=2\n"},
      {"ControlCharacters", "Good=1\nText=a\0b\x01\nLast=2\n"s},
      {"TruncatedLastLine", "Good=1\nLast=2\nCut=\"half writ"},
      {"TruncatedInsideUtf8", "Good=1\nLast=2\nCut=\xE4\xB8"},
      {"OnlyGarbage", binary},
      {"GarbageBetween", "Good=1\n" + binary + "\nLast=2\n"},
      {"EmptyFile", ""},
      {"OnlyLineEnds", "\n\r\n\r\r\n"},
      {"LongLine", "Good=1\nLong=" + std::string(1 << 20, 'x') + "\nLast=2\n"},
  };
}

class DamagedFile : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedFile, LoadsWhatIsReadable) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  WriteBytes(file, GetParam().Bytes);
  FilePropertyStore store(file);
  ASSERT_TRUE(store.Load());
  const std::string& bytes = GetParam().Bytes;
  if (bytes.rfind("Good=1\n", 0) == 0) {
    EXPECT_EQ(store.ReadProperty(u"Good", Variant()), Variant(int16_t{1}));
    EXPECT_EQ(store.ReadProperty(u"Last", Variant()), Variant(int16_t{2}));
  }
  // Damaged lines leave nothing behind under the names they seemed to carry.
  EXPECT_EQ(store.ReadProperty(u"Text", Variant(u"default")), Variant(u"default"));
  EXPECT_EQ(store.ReadProperty(u"Cut", Variant(u"default")), Variant(u"default"));
  EXPECT_EQ(store.ReadProperty(u"Name", Variant(u"default")), Variant(u"default"));
  // What was read can be saved and read again unchanged.
  ASSERT_TRUE(store.Save());
  FilePropertyStore again(file);
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.ReadProperty(u"Good", Variant()), store.ReadProperty(u"Good", Variant()));
  EXPECT_EQ(again.ReadProperty(u"Long", Variant()), store.ReadProperty(u"Long", Variant()));
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFile, testing::ValuesIn(DamagedCases()),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST(FilePropertyStore, FolderInPlaceOfTheFileCannotBeLoadedOrSaved) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  fs::create_directory(file);
  fs::create_directory(file / "inside");
  FilePropertyStore store(file);
  store.WriteProperty(u"A", Variant(int16_t{1}), Variant());
  EXPECT_FALSE(store.Load());
  // The failed load keeps what the store held.
  EXPECT_EQ(store.ReadProperty(u"A", Variant()), Variant(int16_t{1}));
  EXPECT_FALSE(store.Save());
  EXPECT_TRUE(fs::is_directory(file / "inside"));
  // No temporary file is left behind.
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"settings.txt"});
}

TEST(FilePropertyStore, SaveIntoMissingFolderFails) {
  TempDir dir;
  FilePropertyStore store(dir.Path() / "no such folder" / "settings.txt");
  store.WriteProperty(u"A", Variant(int16_t{1}), Variant());
  EXPECT_FALSE(store.Save());
  EXPECT_FALSE(fs::exists(dir.Path() / "no such folder"));
}

TEST(FilePropertyStore, SaveToUnwritableFolderKeepsTheOldFile) {
  TempDir dir;
  const fs::path folder = dir.Path() / "locked";
  const fs::path file = folder / "settings.txt";
  WriteBytes(file, "CurrentMode=3\n");
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(folder.c_str(), W_OK) == 0) {
    fs::permissions(folder, fs::perms::owner_all);
    GTEST_SKIP() << "this user may write into read-only folders";
  }
  FilePropertyStore store(file);
  store.WriteProperty(u"CurrentMode", Variant(int32_t{9}), Variant(int32_t{1}));
  EXPECT_FALSE(store.Save());
  fs::permissions(folder, fs::perms::owner_all);
  EXPECT_EQ(ReadBytes(file), "CurrentMode=3\n");
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"settings.txt"});
}

// A write that fails half way (here: the file size limit of the process) leaves the old file
// complete and no temporary file behind.
TEST(FilePropertyStore, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  WriteBytes(file, "CurrentMode=3\n");
  FilePropertyStore store(file);
  store.WriteProperty(u"Big", Variant(std::u16string(100000, u'x')), Variant());
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 4096;
  auto previous = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  bool saved = store.Save();
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, previous);
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadBytes(file), "CurrentMode=3\n");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"settings.txt"});
}

TEST(FilePropertyStore, SaveKeepsTheFilePermissions) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  WriteBytes(file, "A=1\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  FilePropertyStore store(file);
  ASSERT_TRUE(store.Load());
  store.WriteProperty(u"B", Variant(int16_t{2}), Variant());
  ASSERT_TRUE(store.Save());
  EXPECT_EQ(fs::status(file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(ReadBytes(file), "A=1\nB=2\n");
}

TEST(FilePropertyStore, TwoStoresOnOneFile) {
  TempDir dir;
  const fs::path file = dir.Path() / "settings.txt";
  FilePropertyStore first(file);
  FilePropertyStore second(file);
  first.WriteProperty(u"CurrentMode", Variant(int32_t{4}), Variant(int32_t{1}));
  ASSERT_TRUE(first.Save());
  // The second store sees the first one's file once it loads it.
  ASSERT_TRUE(second.Load());
  EXPECT_EQ(second.ReadProperty(u"CurrentMode", Variant(int32_t{1})), Variant(int32_t{4}));
  second.WriteProperty(u"ParlanVolume", Variant(int32_t{8}), Variant(int32_t{10}));
  ASSERT_TRUE(second.Save());
  // The first store's memory is not changed by the other's save; a reload brings it in.
  EXPECT_EQ(first.ReadProperty(u"ParlanVolume", Variant(int32_t{10})), Variant(int32_t{10}));
  ASSERT_TRUE(first.Load());
  EXPECT_EQ(first.ReadProperty(u"ParlanVolume", Variant(int32_t{10})), Variant(int32_t{8}));
  EXPECT_EQ(first.ReadProperty(u"CurrentMode", Variant(int32_t{1})), Variant(int32_t{4}));
  // The last save wins as a whole file: never a mixture of two half files.
  first.WriteProperty(u"Sapi5Pitch", Variant(int16_t{3}), Variant(int16_t{0}));
  second.WriteProperty(u"NeverDebug", Variant(int16_t{1}), Variant(int16_t{0}));
  ASSERT_TRUE(second.Save());
  ASSERT_TRUE(first.Save());
  EXPECT_EQ(ReadBytes(file), "CurrentMode=4&\nParlanVolume=8&\nSapi5Pitch=3\n");
}

}  // namespace
}  // namespace parlan
