// A native Speak from text to the engine: phrases, their phoneme strings in both engine forms,
// the debug echoes, and the cases that must speak nothing.
#include <gtest/gtest.h>

#include "control/ModuleState.h"
#include "testkit/ControlFixture.h"

namespace parlan {
namespace {

using testkit::ControlTest;
using Spoken = std::vector<std::pair<std::u16string, int32_t>>;

const std::vector<std::string> kNormalisation = {"Mini normalisation",
                                                 "LOCALE",
                                                 "1033",
                                                 "CHARSET",
                                                 "0",
                                                 "NO",
                                                 "zero",
                                                 "one",
                                                 "two",
                                                 "three",
                                                 "four",
                                                 "five",
                                                 "six",
                                                 "seven",
                                                 "eight",
                                                 "nine",
                                                 "NOSTR",
                                                 "0",
                                                 "1",
                                                 "2",
                                                 "3",
                                                 "4",
                                                 "5",
                                                 "6",
                                                 "7",
                                                 "8",
                                                 "9",
                                                 "ABBR",
                                                 "Dr --> doctor",
                                                 "ABBREND",
                                                 "unused",
                                                 "!?;:",
                                                 ",",
                                                 "()",
                                                 ".",
                                                 "dot",
                                                 "point"};

const std::vector<std::string> kRules = {
    "LANGUAGE=Mini", "WILD CARDS", "1 a,e,i,o,u", "RULES", "[a]=a", "[c]=k", "[d]=d",
    "[e]=E",         "[f]=f",      "[h]=h",       "[i]=I", "[l]=l", "[n]=n", "[o]=oU",
    "[r]=r",         "[s]=s",      "[t]=t",       "[u]=u", "[v]=v", "[w]=w", "END"};

// The dictionary also lower-cases every word before the letter rules see it.
const std::vector<std::string> kExceptions = {"EXCEPT", "dot --> dQt", "END"};

class SpeakNativeTest : public ControlTest {
 protected:
  // A language "Mini" on the direct engine (SAPINO 4) or on the voice (SAPINO 5).
  Parlana& Make(int sapino, int space = 0, bool rules = true) {
    testkit::LanguageFiles files;
    files.Normalisation = kNormalisation;
    if (rules) files.Rules = kRules;
    files.Exceptions = kExceptions;
    AddLanguage("Mini",
                {"GENDER=Male", "SAPINO=" + std::to_string(sapino), "UID=demo-uid", "LANGID=1033",
                 "MALE=Alice", "SPACE=" + std::to_string(space)},
                files);
    Parlana& c = Create();
    c.SetCurrentMode(1);
    engines->ClearCalls();
    return c;
  }
  std::vector<std::u16string> DirectPhrases() {
    std::vector<std::u16string> out;
    for (const auto& call : engines->ParlanSapi->CallsTo(42)) {
      EXPECT_EQ(call.Args.at(0), Variant(int32_t{2}));
      EXPECT_EQ(call.Args.at(1), Variant(int32_t{1}));
      out.push_back(call.Args.at(2).AsString());
    }
    return out;
  }
  std::u16string Box(const std::string& name) {
    for (const auto& b : controls.back()->DebugBoxes())
      if (b.Control == name) return b.Text;
    return u"<none>";
  }
};

TEST_F(SpeakNativeTest, FirstSpeakAddsTheStopAndEchoesTheTextWithoutIt) {
  Parlana& c = Make(4);
  std::u16string text = u"Hello world";
  c.Speak(text);
  EXPECT_EQ(text, u"");
  EXPECT_EQ(DirectPhrases(), std::vector<std::u16string>{u"hElloUwoUrld#"});
  EXPECT_EQ(Box("rtbTextIn"), u"Hello world\r\n");
  EXPECT_EQ(Box("rtbPhonemes"), u"hElloUwoUrld#\r\n");
}

TEST_F(SpeakNativeTest, EachPhraseIsOneEngineCallInTextOrder) {
  Parlana& c = Make(4);
  std::u16string text = u"One. Two!";
  c.Speak(text);
  EXPECT_EQ(DirectPhrases(), (std::vector<std::u16string>{u"oUnE*.#", u"twoU*!#"}));
  EXPECT_EQ(Box("rtbPhonemes"), u"oUnE*.#\r\ntwoU*!#\r\n");
  EXPECT_EQ(Box("rtbTextIn"), u"One. Two!\r\n");
}

TEST_F(SpeakNativeTest, OnTheVoiceEachPhraseIsAPronunciationElement) {
  Parlana& c = Make(5);
  std::u16string text = u"One, two. Three";
  c.Speak(text);
  EXPECT_EQ(engines->Sapi5->Spoken(),
            (Spoken{{u"<pron sym=\"oUnE,twoU. !\"/>", 1}, {u"<pron sym=\"thrEE !\"/>", 1}}));
}

TEST_F(SpeakNativeTest, KeptSpacesReachTheEngine) {
  Parlana& c = Make(4, 1);
  std::u16string text = u"hello";
  c.Speak(text);
  EXPECT_EQ(DirectPhrases(), std::vector<std::u16string>{u" h E l l oU#"});
  ResetThreadState();
  controls.clear();
  std::filesystem::remove_all(root.Path() / "Parlan Mini");
  Parlana& v = Make(5, 1);
  text = u"hello";
  v.Speak(text);
  EXPECT_EQ(engines->Sapi5->Spoken(), (Spoken{{u"<pron sym=\" h E l l oU !\"/>", 1}}));
}

TEST_F(SpeakNativeTest, EmptyOrBlankTextSpeaksNothingButStillEchoes) {
  Parlana& c = Make(4);
  std::u16string text;
  c.Speak(text);
  EXPECT_TRUE(engines->ParlanSapi->Calls.empty());
  EXPECT_EQ(Box("rtbTextIn"), u"\r\n");
  text = u"    ";
  c.Speak(text);  // a later call: the loop trims the text to nothing
  EXPECT_TRUE(engines->ParlanSapi->Calls.empty());
  EXPECT_EQ(text, u"");
  c.SetCurrentMode(1);
  engines->ClearCalls();
  text = u"   ";
  c.Speak(text);  // the first call after a mode change trims before the loop
  EXPECT_TRUE(engines->ParlanSapi->Calls.empty());
}

// A word without rules is left out; the words around it, also dictionary words after it, are
// still spoken and the failure is still recorded.
TEST_F(SpeakNativeTest, AFailedWordIsLeftOutAndItsPhraseSpoken) {
  Parlana& c = Make(4);
  std::u16string text = u"hello zzz. cat \U0001F600 dot. zzz!";
  c.Speak(text);
  EXPECT_EQ(DirectPhrases(), (std::vector<std::u16string>{u"hElloU*.#", u"katdQt*.#"}));
  std::u16string error;
  EXPECT_EQ(c.LastError(error), 4);
  EXPECT_EQ(error, u"Missing Rule with right focus = zzz");
}

// The phrase-end marks of questions and exclamations reach both engines as marks of their own.
TEST_F(SpeakNativeTest, QuestionAndExclamationMarksReachBothEngines) {
  Parlana& direct = Make(4);
  std::u16string text = u"Is it? No!";
  direct.Speak(text);
  EXPECT_EQ(DirectPhrases(), (std::vector<std::u16string>{u"IsIt*?#", u"noU*!#"}));
  Parlana& voice = Make(5);
  text = u"Is it? No!";
  voice.Speak(text);
  EXPECT_EQ(engines->Sapi5->Spoken(),
            (Spoken{{u"<pron sym=\"IsIt? !\"/>", 1}, {u"<pron sym=\"noU! !\"/>", 1}}));
}

TEST_F(SpeakNativeTest, WithoutLetterRulesNothingIsSpokenAndTheTextIsConsumed) {
  Parlana& c = Make(4, 0, false);
  std::u16string text = u"One. Two. Three.";
  c.Speak(text);
  EXPECT_EQ(text, u"");
  EXPECT_TRUE(engines->ParlanSapi->Calls.empty());
  // The failed load is reported, then every word fails for want of rules.
  EXPECT_NE(Box("txtRulesAppld").find(u"Error in Load to Letter Rules"), std::u16string::npos);
  std::u16string error;
  EXPECT_EQ(c.LastError(error), 4);
}

TEST_F(SpeakNativeTest, AnEngineKindThatIsNeitherSpeaksNothing) {
  Parlana& c = Make(4);
  ThreadState().Modes.NativeEngineKind = 3;
  std::u16string text = u"hello";
  c.Speak(text);
  EXPECT_TRUE(engines->Journal->empty());
  EXPECT_EQ(Box("rtbPhonemes"), u"hElloU#\r\n");
}

TEST_F(SpeakNativeTest, NeverDebugCreatesNoWindow) {
  Parlana& c = Make(4);
  c.SetNeverDebug(true);
  c.SetDebugging(true);
  std::u16string text = u"hello";
  c.Speak(text);
  EXPECT_EQ(DirectPhrases(), std::vector<std::u16string>{u"hElloU#"});
  // Only the loaders touch the windows (rule set cleared, fonts set), which never shows them.
  const auto& debug = ThreadState().Pipeline.Debug;
  EXPECT_FALSE(debug.Debug().Visible());
  EXPECT_FALSE(debug.Advanced().Visible());
  EXPECT_EQ(Box("rtbTextIn"), u"");
  EXPECT_EQ(Box("txtNormOutput"), u"");
}

TEST_F(SpeakNativeTest, WindowsOpenByThemselvesOnlyAtTheFirstNativeSpeak) {
  Parlana& c = Make(4);
  c.SetDebugging(true);
  std::u16string text = u"hello";
  c.Speak(text);
  EXPECT_TRUE(c.DebugWindowVisible("frmDebug"));
  EXPECT_TRUE(c.DebugWindowVisible("frmAdvanced"));
  auto& debug = ThreadState().Pipeline.Debug;
  debug.Click("frmDebug", "cmdCancel");
  debug.Click("frmAdvanced", "cmdCancel");
  text = u"hello";
  c.Speak(text);
  EXPECT_FALSE(c.DebugWindowVisible("frmDebug"));
  EXPECT_FALSE(c.DebugWindowVisible("frmAdvanced"));
}

TEST_F(SpeakNativeTest, TwoSpeaksShowOnlyTheSecondButKeepTheRuleSet) {
  Parlana& c = Make(4);
  std::u16string text = u"one";
  c.Speak(text);
  std::u16string ruleSet = Box("txtRuleSet");
  EXPECT_NE(ruleSet.find(u"Full Set"), std::u16string::npos);
  text = u"two";
  c.Speak(text);
  EXPECT_EQ(Box("rtbTextIn"), u"two\r\n");
  EXPECT_EQ(Box("rtbPhonemes"), u"twoU#\r\n");
  EXPECT_EQ(Box("txtNormOutput"), u"//two//");  // abbreviations rebuild every token
  EXPECT_EQ(Box("txtRuleSet"), ruleSet);
}

TEST_F(SpeakNativeTest, TheLanguageFilesAreReadAgainAfterAModeChange) {
  Parlana& c = Make(4);
  std::u16string text = u"one";
  c.Speak(text);
  // Change the rules on disk: the new ones are used only after CurrentMode is set again.
  auto rules = kRules;
  rules[4] = "[a]=A";
  rules[13] = "[o]=O";
  testkit::WriteUtf16Lines(root.Path() / "Parlan Mini" / "Minir.ttg", rules);
  text = u"one";
  c.Speak(text);
  c.SetCurrentMode(1);
  text = u"one";
  c.Speak(text);
  EXPECT_EQ(DirectPhrases(), (std::vector<std::u16string>{u"oUnE#", u"oUnE#", u"OnE#"}));
}

TEST_F(SpeakNativeTest, AParagraphFillsTheBoxesInPipelineOrder) {
  Parlana& c = Make(4);
  std::vector<std::string> order;
  ThreadState().Pipeline.Debug.SetObserver([&](const std::string&, const std::string& control) {
    if (!control.empty() && (order.empty() || order.back() != control)) order.push_back(control);
  });
  std::u16string text = u"Dr (Smith) had 2 cats, one dot.";
  c.Speak(text);
  ThreadState().Pipeline.Debug.SetObserver(nullptr);
  std::vector<std::string> firstSeen;
  for (const auto& name : order)
    if (std::find(firstSeen.begin(), firstSeen.end(), name) == firstSeen.end())
      firstSeen.push_back(name);
  EXPECT_EQ(firstSeen, (std::vector<std::string>{"rtbPhonemes", "rtbTextIn", "txtNormAppld",
                                                 "txtNormOutput", "txtExceptAppld", "txtExcOutput",
                                                 "txtRulesAppld", "txtRuleSet"}));
}

}  // namespace
}  // namespace parlan
