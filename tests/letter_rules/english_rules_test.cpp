// Golden tests of the shipped English language (languages/Parlan English): the letter rules,
// the exception dictionary, the normalisation file and the configuration, and whole phrases
// spoken through a recording voice.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "debug_ui/DebugWindows.h"
#include "engines/RecordingEngines.h"
#include "letter_rules/LetterRules.h"
#include "modes/ParlanFileManagement.h"
#include "normalisation/Normalisation.h"
#include "parlan/Parlana.h"
#include "pipeline/Exceptions.h"
#include "strings/StringFunctions.h"
#include "strings/Unicode.h"

namespace parlan::testing {
namespace {

namespace fs = std::filesystem;

fs::path RepositoryRoot() {
  return fs::path(PARLAN_TEST_DATA).parent_path().parent_path();
}
fs::path LanguagesRoot() {
  return RepositoryRoot() / "languages";
}
fs::path EnglishFile(const char* name) {
  return LanguagesRoot() / "Parlan English" / name;
}

// The eSpeak NG en-us mnemonics the language writes, longest first. eSpeak NG silently drops
// the rest of a word after a symbol it does not know, so nothing else may appear.
const std::vector<std::string_view> kMnemonics = {
    "i@3", "aI3", "aU3", "A@", "o@", "O@", "e@", "U@", "i@", "3:", "A:", "O:", "i:", "u:",
    "aI",  "aU",  "eI",  "oU", "OI", "tS", "dZ", "@L", "n-", "@",  "V",  "a",  "E",  "I",
    "0",   "3",   "U",   "i",  "b",  "d",  "D",  "f",  "g",  "h",  "j",  "k",  "l",  "m",
    "n",   "N",   "p",   "r",  "s",  "S",  "t",  "T",  "v",  "w",  "z",  "Z"};

// The first piece of `phonemes` that is no mnemonic, stress mark or word end; empty when none.
std::string UnknownSymbol(std::string_view phonemes) {
  for (size_t i = 0; i < phonemes.size();) {
    if (phonemes[i] == '\'' || phonemes[i] == ',' || phonemes[i] == '\t') {
      ++i;
      continue;
    }
    auto m = std::find_if(kMnemonics.begin(), kMnemonics.end(),
                          [&](std::string_view s) { return phonemes.substr(i).starts_with(s); });
    if (m == kMnemonics.end()) return std::string(phonemes.substr(i));
    i += m->size();
  }
  return {};
}

// A word's phonemes as the engine receives them: no blanks, the word end (a tab) last and
// nowhere else.
::testing::AssertionResult IsOneSpokenWord(const std::string& word, const std::string& sent) {
  if (sent.find(' ') != std::string::npos)
    return ::testing::AssertionFailure() << word << ": blank in '" << sent << "'";
  if (sent.empty() || sent.back() != '\t' || sent.find('\t') != sent.size() - 1)
    return ::testing::AssertionFailure() << word << ": no single word end in '" << sent << "'";
  if (std::string bad = UnknownSymbol(sent); !bad.empty())
    return ::testing::AssertionFailure() << word << ": unknown symbol at '" << bad << "'";
  return ::testing::AssertionSuccess();
}

// The most frequent words of the frequency list the language was built from.
std::vector<std::string> FrequentWords(size_t count) {
  std::ifstream in(RepositoryRoot() / "scripts" / "english" / "en-us-word-frequency.tsv");
  std::vector<std::string> words;
  for (std::string line; words.size() < count && std::getline(in, line);) {
    std::string word = line.substr(0, line.find('\t'));
    bool plain = !line.starts_with("#") &&
                 word.find_first_not_of("abcdefghijklmnopqrstuvwxyz'") == std::string::npos;
    if (plain && word.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos)
      words.push_back(word);
  }
  return words;
}

class EnglishRules : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadLetterRules(ctx, EnglishFile("Englishr.ttg"));
    ASSERT_TRUE(tables.RulesLoadOk) << ToUtf8(error.Text);
  }
  // The phonemes of one word as they reach the engine (the blanks between results removed).
  std::string Sent(const std::string& word) {
    return ToUtf8(RemoveSpaces(ConvertWord(ctx, U16(word))));
  }

  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug, true};
};

TEST_F(EnglishRules, LoadsWithOneGroupPerCharacterWithinTheCustomaryTables) {
  EXPECT_TRUE(tables.RulesLoaded);
  EXPECT_EQ(error.Number, 0);
  const std::u16string& letters = tables.GroupLetters;
  EXPECT_EQ(std::set<char16_t>(letters.begin(), letters.end()).size(), letters.size())
      << "a character opens two groups: " << ToUtf8(letters);
  for (char16_t c = u'a'; c <= u'z'; ++c) EXPECT_NE(letters.find(c), std::u16string::npos);
  EXPECT_NE(letters.find(u'\''), std::u16string::npos);
  EXPECT_LE(tables.LetterGroups.size(), static_cast<size_t>(kUsualGroups));
  int32_t rules = tables.LetterGroups.empty() ? 0 : tables.LetterGroups.back().Last;
  // Learned rules: far more than the customary table, within what the loader admits.
  EXPECT_LE(rules, kMaxRules);
  EXPECT_GT(rules, 300);
}

// Every sequence of up to three letters finds a rule at every step: no letter combination
// leaves a word unconverted, and every result is made of known symbols.
TEST_F(EnglishRules, EveryLetterStringOfUpToThreeLettersConverts) {
  std::vector<std::string> words;
  for (char a = 'a'; a <= 'z'; ++a) {
    words.push_back(std::string(1, a));
    for (char b = 'a'; b <= 'z'; ++b) {
      words.push_back(std::string{a, b});
      for (char c = 'a'; c <= 'z'; ++c) words.push_back(std::string{a, b, c});
    }
  }
  size_t failures = 0;
  for (const std::string& w : words) {
    std::string sent = Sent(w);
    bool ok = tables.ConversionOk && IsOneSpokenWord(w, sent);
    if (!ok && ++failures <= 10)
      ADD_FAILURE() << w << " -> '" << sent << "' " << ToUtf8(error.Text);
  }
  EXPECT_EQ(failures, 0u);
}

TEST_F(EnglishRules, FrequentWordsConvertAndNearlyAllCarryAStressMark) {
  std::vector<std::string> words = FrequentWords(10000);
  ASSERT_EQ(words.size(), 10000u);
  size_t unstressed = 0;
  for (const std::string& w : words) {
    std::string sent = Sent(w);
    ASSERT_TRUE(tables.ConversionOk) << w << ": " << ToUtf8(error.Text);
    ASSERT_TRUE(IsOneSpokenWord(w, sent));
    if (sent.find('\'') == std::string::npos) ++unstressed;
  }
  // Learned rules leave short words with a reduced or unstressed-looking vowel ("the", "a",
  // "thing") without a stress mark: about one word in eleven; the dictionary covers the most
  // frequent of them.
  EXPECT_LT(unstressed, 1000u);
}

TEST_F(EnglishRules, ApostrophesAndAccentedLettersConvert) {
  for (const char* w : {"'hello", "dogs'", "o’clock", "don’t", "café", "naïve", "señor"}) {
    std::string sent = Sent(w);
    EXPECT_TRUE(tables.ConversionOk) << w << ": " << ToUtf8(error.Text);
    EXPECT_TRUE(IsOneSpokenWord(w, sent));
  }
}

// Held-out words of the lexicon the rules were learned from (tests/data/english-held-out.tsv):
// the rules never saw them, so this measures what they do with new words, stress ignored.
TEST_F(EnglishRules, SayMostHeldOutWordsAsTheLexiconDoes) {
  std::ifstream in(fs::path(PARLAN_TEST_DATA) / "english-held-out.tsv");
  size_t words = 0, right = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("#")) continue;
    std::string word = line.substr(0, line.find('\t')), expected;
    for (char c : line.substr(word.size() + 1))
      if (c != ' ' && c != '\'') expected += c;
    std::string sent = Sent(word);
    ASSERT_TRUE(IsOneSpokenWord(word, sent));
    std::string said;
    for (char c : sent)
      if (c != '\t' && c != '\'') said += c;
    ++words;
    right += said == expected ? 1 : 0;
  }
  ASSERT_GT(words, 250u);
  // The learned rules get a little over half of such words (the rules of the NRL report
  // about a third).
  EXPECT_GE(100 * right, 48 * words) << right << " of " << words;
}

struct Golden {
  const char* word;
  const char* sent;  // without the final word end
  const char* shows;
};

[[maybe_unused]] void PrintTo(const Golden& c, std::ostream* os) {
  *os << c.word;
}

class EnglishGoldenWords : public EnglishRules, public ::testing::WithParamInterface<Golden> {};

TEST_P(EnglishGoldenWords, ConvertToTheirPronunciation) {
  EXPECT_EQ(Sent(GetParam().word), std::string(GetParam().sent) + "\t") << GetParam().shows;
  EXPECT_TRUE(tables.ConversionOk);
}

// Words the rules alone must get right (pronunciations as in the CMU lexicon).
INSTANTIATE_TEST_SUITE_P(
    Rules, EnglishGoldenWords,
    ::testing::Values(
        Golden{"cat", "k'at", "stress before the first vowel"},
        Golden{"make", "m'eIk", "a before consonant and final e; silent e"},
        Golden{"time", "t'aIm", "i before consonant and final e"},
        Golden{"hoped", "h'oUpt", "o before a consonant and the suffix ed"},
        Golden{"hoping", "h'oUpIN", "o before one consonant and the suffix ing"},
        Golden{"thing", "TIN", "th and ng; no stress mark"}, Golden{"church", "tS'3:tS", "ch, ur"},
        Golden{"wishes", "w'ISIz", "es after a sibilant"},
        Golden{"cats", "k'ats", "s after a voiceless consonant"},
        Golden{"dogs", "d'O:gz", "s after a voiced consonant; o spelled lot vowel"},
        Golden{"rule", "r'u:l", "u after r (no y glide)"},
        Golden{"cute", "kj'u:t", "u after c (y glide)"},
        Golden{"gem", "dZEm", "g before a front vowel; no stress mark"},
        Golden{"knight", "n'aIt", "silent k, igh"}, Golden{"wrap", "r'ap", "silent w"},
        Golden{"phone", "f'oUn", "ph"}, Golden{"quick", "kwIk", "qu, ck; no stress mark"},
        Golden{"judge", "dZ'VdZ", "d silent before g and a front vowel"},
        Golden{"watch", "w'A:tS", "t silent before ch"},
        Golden{"happy", "h'api", "doubled consonant; final y after consonants"},
        Golden{"sitting", "s'ItIN", "doubled t"}, Golden{"butter", "b'Vt3", "unstressed er"},
        Golden{"every", "'Ev3i", "y after vowel and consonants; the lexicon's er"},
        Golden{"nation", "n'eIS@n", "ti before a vowel"},
        Golden{
            "my", "mi",
            "y as the only vowel; the learned rules say it as a final y (the dictionary has my)"},
        Golden{"yes", "jz",
               "initial y is a consonant; the learned rules drop the e of a final es (the "
               "dictionary has yes)"},
        Golden{"begin", "bIgIn", "unstressed prefix be; the learned rules mark no stress"},
        Golden{"decide", "dIs'aId", "unstressed prefix de"},
        Golden{"away", "@w'eI", "reduced first vowel: stress on the next syllable"},
        Golden{"alone", "@l'oUn", "initial al before a vowel"},
        Golden{"couldn't", "k'Udnt", "apostrophe silent"},
        Golden{"they've", "D'eIv", "silent e after an apostrophe"}));

class EnglishDictionary : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadExceptions(tables, EnglishFile("Englishe.ttg"))); }
  std::string Apply(const std::string& chunk) {
    std::u16string c = U16(chunk);
    return ToUtf8(ApplyExceptions(tables, debug, true, c));
  }
  ExceptionTables tables;
  DebugWindows debug;
};

TEST_F(EnglishDictionary, HoldsAtMost3000LowerCaseWordsGroupedByInitial) {
  const auto& words = tables.ExceptWords;
  ASSERT_GT(words.size(), 1000u);
  EXPECT_LE(words.size(), 3000u);
  const std::u16string& initials = tables.ExceptInitials;
  EXPECT_EQ(std::set<char16_t>(initials.begin(), initials.end()).size(), initials.size())
      << "an initial opens two groups: " << ToUtf8(initials);
  EXPECT_EQ(std::set<std::u16string>(words.begin(), words.end()).size(), words.size());
  for (size_t i = 0; i < words.size(); ++i) {
    std::string w = ToUtf8(words[i]);
    EXPECT_EQ(ToUtf8(LowerCase(words[i])), w);
    std::string r = ToUtf8(tables.ExceptReplacements[i]);
    EXPECT_TRUE(IsOneSpokenWord(w, r));
    EXPECT_EQ(r.find_first_of("/[]*<"), std::string::npos) << w << ": " << r;
  }
}

// A dictionary entry is only worth its place when the rules say the word differently.
TEST_F(EnglishDictionary, ListsOnlyWordsTheRulesSayDifferently) {
  LetterRuleTables rules;
  ErrorRecord error;
  LetterRuleContext ctx{rules, error, debug, true};
  LoadLetterRules(ctx, EnglishFile("Englishr.ttg"));
  ASSERT_TRUE(rules.RulesLoadOk);
  for (size_t i = 0; i < tables.ExceptWords.size(); ++i)
    EXPECT_NE(RemoveSpaces(ConvertWord(ctx, tables.ExceptWords[i])), tables.ExceptReplacements[i])
        << ToUtf8(tables.ExceptWords[i]);
}

TEST_F(EnglishDictionary, ReplacesFrequentWordsTheRulesGetWrong) {
  EXPECT_EQ(Apply("/Yes/one/*,/cats/my/*."), "/[j'Es\t]/[w'Vn\t]/*,/cats/[maI\t]/*.");
  EXPECT_EQ(Apply("/said/again/banana"), "/[s'Ed\t]/[@g'En\t]/[b@n'an@\t]");
}

TEST(EnglishNormalisation, LoadsWithEnglishDigitsPunctuationAndSafeReplacements) {
  NormalisationTables t;
  DebugWindows debug;
  NormContext ctx{t, debug, true};
  ASSERT_TRUE(LoadNormalisationRules(ctx, EnglishFile("Englishn.ttg")));
  const char* names[] = {"zero", "one", "two",   "three", "four",
                         "five", "six", "seven", "eight", "nine"};
  for (int d = 0; d < 10; ++d) {
    EXPECT_EQ(ToUtf8(t.NumberWords[static_cast<size_t>(d)]), names[d]);
    EXPECT_EQ(t.NumberWords[static_cast<size_t>(d)].find(static_cast<char16_t>(u'0' + d)),
              std::u16string::npos);
  }
  EXPECT_FALSE(t.Digits.OwnDigits);
  EXPECT_EQ(ToUtf8(t.PhraseEndChars).substr(0, 4), "!?;:");
  EXPECT_EQ(ToUtf8(t.SymbolChars), ",");
  EXPECT_EQ(ToUtf8(t.DecimalPoint), ".");
  EXPECT_EQ(ToUtf8(t.DotWord), "dot");
  EXPECT_EQ(ToUtf8(t.DecimalPointWord), "point");
  for (char16_t c : std::u16string(u".',!?;:"))
    EXPECT_EQ(t.IgnoreChars.find(c), std::u16string::npos);
  ASSERT_GT(t.AlwaysCount, 0);
  for (int16_t i = 0; i < t.AlwaysCount; ++i) {
    const std::u16string& key = t.AlwaysKeys[static_cast<size_t>(i)];
    EXPECT_FALSE(key.empty());
    EXPECT_EQ(t.AlwaysReplacements[static_cast<size_t>(i)].find(key), std::u16string::npos)
        << ToUtf8(key);
  }
  const std::u16string& initials = t.AbbrInitials;
  EXPECT_EQ(std::set<char16_t>(initials.begin(), initials.end()).size(), initials.size());
  EXPECT_EQ(t.AbbrCount, t.AbbrGroupLast.at(initials.size() - 1));
}

// The words the normalisation writes (number words, expansions, replacements) are words the
// letter rules convert.
TEST(EnglishNormalisation, WritesOnlyWordsTheRulesConvert) {
  NormalisationTables t;
  DebugWindows debug;
  NormContext norm{t, debug, true};
  ASSERT_TRUE(LoadNormalisationRules(norm, EnglishFile("Englishn.ttg")));
  LetterRuleTables rules;
  ErrorRecord error;
  LetterRuleContext ctx{rules, error, debug, true};
  LoadLetterRules(ctx, EnglishFile("Englishr.ttg"));
  std::vector<std::u16string> texts(t.NumberWords.begin(), t.NumberWords.end());
  texts.insert(texts.end(), t.AbbrExpansions.begin(), t.AbbrExpansions.end());
  texts.insert(texts.end(), t.AlwaysReplacements.begin(), t.AlwaysReplacements.end());
  texts.push_back(t.DotWord);
  texts.push_back(t.DecimalPointWord);
  for (std::u16string text : texts) {
    int32_t kind = 0;
    for (std::u16string w = NextToken(text, kind); !w.empty(); w = NextToken(text, kind)) {
      if (t.PhraseEndChars.find(w) != std::u16string::npos) continue;  // ends the phrase
      ConvertWord(ctx, LowerCase(w));
      EXPECT_TRUE(rules.ConversionOk) << ToUtf8(w) << ": " << ToUtf8(error.Text);
    }
  }
}

TEST(EnglishConfiguration, OffersBothGendersThroughTheAmericanEngine) {
  ErrorRecord error;
  auto value = [&](const char16_t* key) {
    return ToUtf8(ReadConfigValue(EnglishFile("Englishc.ttg"), key, error));
  };
  EXPECT_EQ(value(u"GENDER"), "Both");
  EXPECT_EQ(value(u"SAPINO"), "4");  // the direct engine keeps every mark a pause
  EXPECT_EQ(value(u"SPACE"), "0");
  EXPECT_EQ(value(u"MALE"), "English (America)");
  EXPECT_EQ(value(u"FEMALE"), "English (America) Female");
  EXPECT_FALSE(value(u"UID").empty());
  EXPECT_FALSE(value(u"LANGID").empty());
  EXPECT_EQ(error.Number, 0) << ToUtf8(error.Text);
}

// Whole phrases spoken in the English native mode through a recording direct engine.
class EnglishSpoken : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetThreadState();
    engines->ParlanSapi->Criteria[u"EngineID=gmw/en-US;Gender= 2;LanguageID=1033"] = 3;
    engines->ParlanSapi->Criteria[u"EngineID=gmw/en-US;Gender= 1;LanguageID=1033"] = 4;
    control = std::make_unique<Parlana>(ParlanaSettings{LanguagesRoot(), engines});
    control->SetNeverDebug(true);
    for (int16_t m = 1; m <= control->CountEngines(); ++m)
      if (control->ModeName(m) == u"English Male (Parlan)") control->SetCurrentMode(m);
    ASSERT_EQ(control->ModeName(static_cast<int16_t>(control->CurrentMode())),
              u"English Male (Parlan)");
  }
  void TearDown() override { ResetThreadState(); }

  // The phoneme strings sent for a text, one per phrase, without the engine's end mark "#".
  std::vector<std::string> Speak(const std::string& text) {
    engines->ParlanSapi->Calls.clear();
    std::u16string t = U16(text);
    control->Speak(t);
    std::vector<std::string> out;
    for (const auto& call : engines->ParlanSapi->CallsTo(engines::ss::kSpeak)) {
      EXPECT_EQ(call.Args.at(0), Variant(engines::ss::kSpeakPhonemes));
      std::string s = ToUtf8(call.Args.at(2).AsString());
      EXPECT_TRUE(s.ends_with("#")) << s;
      if (s.ends_with("#")) out.push_back(s.substr(0, s.size() - 1));
    }
    return out;
  }

  std::shared_ptr<engines::RecordingEngineFactory> engines =
      std::make_shared<engines::RecordingEngineFactory>();
  std::unique_ptr<Parlana> control;
};

TEST_F(EnglishSpoken, EachPhraseGoesAsTabSeparatedWordsWithItsMarks) {
  std::vector<std::string> phrases = Speak("Hello, cats. I'm running!");
  ASSERT_EQ(phrases.size(), 2u);
  EXPECT_EQ(phrases[0], "h@l'oU\t*,k'ats\t*.");
  EXPECT_EQ(phrases[1], "'aIm\tr'VnIN\t*!");
}

TEST_F(EnglishSpoken, SymbolsNumbersAndAbbreviationsAreSpokenAsTheirWords) {
  struct Same {
    const char* written;
    const char* spoken;
  };
  for (const Same& s :
       {Same{"Dr. Smith paid $5 & left.", "doctor smith paid five dollars and left."},
        Same{"It is 3.5 km, e.g. here.", "it is three point five kilometers, for example here."},
        Same{"A well-known (old) \"file.txt\" @ 50%.",
             "a well known old file dot txt at fifty percent."},
        Same{"Wait... what?", "wait\u2026 what?"},
        Same{"\u00a9 Acme\u00ae: 5 m\u00b2 \u00b1 \u00bd.",
             "copyright acme registered: five m squared plus or minus one half."},
        Same{"\u2022 item \u2020 \u00b7 x", "item x"}}) {
    std::vector<std::string> expected = Speak(s.spoken);
    ASSERT_FALSE(expected.empty()) << s.spoken;
    EXPECT_EQ(Speak(s.written), expected) << s.written;
  }
}

TEST_F(EnglishSpoken, CommonSignsDoNotSilenceTheirPhrase) {
  // A character no rule reads fails its word, and a phrase whose last word fails is not spoken.
  for (const char* sign :
       {"\u00a9", "\u2122", "\u00ae", "\u00a2", "\u00a5", "\u00a7", "\u00b6", "\u2116", "\u2030",
        "\u00b5", "\u00b1", "\u00f7", "\u2264", "\u2265", "\u2260", "\u2248", "\u221e", "\u221a",
        "\u2211", "\u03c0", "\u03a9", "\u2192", "\u2190", "\u00bd", "\u00bc", "\u00be", "\u00b9",
        "\u00b2", "\u00b3", "\u2020", "\u2021", "\u2022", "\u00b7", "\u00ac", "\u00a6", "\u00a8",
        "\u00af", "\u00b4", "\u00b8", "\u00aa", "\u00ba", "\u00a4", "\u2032", "\u2033", "\u2039",
        "\u203a", "\u201a", "\u201b", "\u201f", "\u2044", "\u0192", "\u2713", "\u2714", "\u2605",
        "\u2606", "\u2665", "\u2010", "\u2011", "\u2012", "\u2015"}) {
    EXPECT_EQ(Speak(std::string("one two ") + sign + ".").size(), 1u) << sign;
  }
}

TEST_F(EnglishSpoken, TextWithoutPunctuationIsOnePhraseOfWords) {
  std::vector<std::string> phrases = Speak("the quick brown fox jumps over the lazy dog");
  ASSERT_EQ(phrases.size(), 1u);
  EXPECT_EQ(std::count(phrases[0].begin(), phrases[0].end(), '\t'), 9);
  EXPECT_EQ(phrases[0].find(' '), std::string::npos);
}

}  // namespace
}  // namespace parlan::testing
