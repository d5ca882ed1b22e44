// The two debug windows: their controls, fonts, creation and visibility, and the buttons.
#include "debug_ui/DebugWindows.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace parlan {
namespace {

struct ExpectedControl {
  std::string Name;
  ControlKind Kind;
  std::u16string Caption;
  std::string Container;
};

constexpr ControlKind kButton = ControlKind::Button;
constexpr ControlKind kFrame = ControlKind::Frame;
constexpr ControlKind kBox = ControlKind::TextBox;

const std::vector<ExpectedControl> kDebugControls = {
    {"cmdCancel", kButton, u"Cancel", ""},
    {"cmdAdvanced", kButton, u"Additional Information", ""},
    {"fraPhonemes", kFrame, u"Phonemes Derived From Text", ""},
    {"cmdClearPhonemes", kButton, u"Clear", "fraPhonemes"},
    {"rtbPhonemes", kBox, u"", "fraPhonemes"},
    {"fraText", kFrame, u"Text Sent To Parlan", ""},
    {"cmdClearText", kButton, u"Clear", "fraText"},
    {"rtbTextIn", kBox, u"", "fraText"},
};

const std::vector<ExpectedControl> kAdvancedControls = {
    {"cmdAllClear", kButton, u"All Clear", ""},
    {"cmdCancel", kButton, u"Cancel", ""},
    {"fraTTP", kFrame, u"Text-to-phoneme", ""},
    {"fraRulesAppld", kFrame, u"Rules Applied", "fraTTP"},
    {"txtRulesAppld", kBox, u"", "fraRulesAppld"},
    {"cmdClear", kButton, u"Clear", "fraRulesAppld"},
    {"fraRules", kFrame, u"Rule Set", "fraTTP"},
    {"txtRuleSet", kBox, u"", "fraRules"},
    {"fraExceptions", kFrame, u"Exceptions", ""},
    {"cmdClearEx", kButton, u"Clear", "fraExceptions"},
    {"fraExceptText", kFrame, u"Output Text", "fraExceptions"},
    {"txtExcOutput", kBox, u"", "fraExceptText"},
    {"fraExceptAppl", kFrame, u"Exceptions Applied", "fraExceptions"},
    {"txtExceptAppld", kBox, u"", "fraExceptAppl"},
    {"fraNormalisation", kFrame, u"Normalisation", ""},
    {"cmdClearNorm", kButton, u"Clear", "fraNormalisation"},
    {"fraNormText", kFrame, u"OutputText", "fraNormalisation"},
    {"txtNormOutput", kBox, u"", "fraNormText"},
    {"fraNormAppld", kFrame, u"Rules Applied", "fraNormalisation"},
    {"txtNormAppld", kBox, u"", "fraNormAppld"},
};

void ExpectControls(const DebugWindow& window, const std::vector<ExpectedControl>& expected) {
  const auto& controls = window.Controls();
  ASSERT_EQ(controls.size(), expected.size()) << window.Name();
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(window.Name() + "." + expected[i].Name);
    EXPECT_EQ(controls[i].Name, expected[i].Name);
    EXPECT_EQ(controls[i].Kind, expected[i].Kind);
    EXPECT_EQ(controls[i].Caption, expected[i].Caption);
    EXPECT_EQ(controls[i].Container, expected[i].Container);
    EXPECT_EQ(controls[i].Text, u"");
    EXPECT_EQ(window.FindControl(expected[i].Name), &controls[i]);
  }
}

TEST(DebugWindows, WindowsHaveTheirNamesAndCaptions) {
  DebugWindows w;
  EXPECT_EQ(w.Debug().Name(), "frmDebug");
  EXPECT_EQ(w.Debug().Caption(), u"Parlan Debug");
  EXPECT_EQ(w.Advanced().Name(), "frmAdvanced");
  EXPECT_EQ(w.Advanced().Caption(), u"Additional Debugging Information");
}

TEST(DebugWindows, DebugWindowControlsInCreationOrder) {
  DebugWindows w;
  ExpectControls(w.Debug(), kDebugControls);
}

TEST(DebugWindows, AdvancedWindowControlsInCreationOrder) {
  DebugWindows w;
  ExpectControls(w.Advanced(), kAdvancedControls);
}

TEST(DebugWindows, EveryContainerIsAFrameOfTheSameWindow) {
  DebugWindows w;
  for (const DebugWindow* window : {&w.Debug(), &w.Advanced()}) {
    for (const DebugControl& c : window->Controls()) {
      if (c.Container.empty()) continue;
      const DebugControl* frame = window->FindControl(c.Container);
      ASSERT_NE(frame, nullptr) << c.Name;
      EXPECT_EQ(frame->Kind, ControlKind::Frame) << c.Name;
    }
  }
  EXPECT_EQ(w.Debug().FindControl("txtRuleSet"), nullptr);
  EXPECT_EQ(w.Advanced().FindControl("nothing"), nullptr);
}

TEST(DebugWindows, TextBoxesUseTheLanguageFontExceptThePhonemeBox) {
  DebugWindows w;
  int boxes = 0;
  for (const DebugWindow* window : {&w.Debug(), &w.Advanced()}) {
    for (const DebugControl& c : window->Controls()) {
      if (c.Kind != ControlKind::TextBox) continue;
      ++boxes;
      SCOPED_TRACE(c.Name);
      if (c.Name == "rtbPhonemes") {
        EXPECT_EQ(c.FontName, "");  // the window's default font
        EXPECT_NE(c.FontCharset, 161);
      } else {
        EXPECT_EQ(c.FontName, "Microsoft Sans Serif");
        EXPECT_DOUBLE_EQ(c.FontSize, 8.25);
        EXPECT_EQ(c.FontCharset, 161);
      }
    }
  }
  EXPECT_EQ(boxes, 8);
}

TEST(DebugWindows, SetFontCharsetChangesExactlyTheLanguageBoxes) {
  const std::set<std::string> changed = {"rtbTextIn",    "txtExceptAppld", "txtExcOutput",
                                         "txtNormAppld", "txtNormOutput",  "txtRulesAppld",
                                         "txtRuleSet"};
  DebugWindows w;
  DebugWindows before;
  w.SetFontCharset(204);
  for (const DebugWindow* window : {&w.Debug(), &w.Advanced()}) {
    const DebugWindow& old = window == &w.Debug() ? before.Debug() : before.Advanced();
    for (const DebugControl& c : window->Controls()) {
      SCOPED_TRACE(window->Name() + "." + c.Name);
      bool languageBox = window == &w.Debug() ? c.Name == "rtbTextIn" : changed.count(c.Name) > 0;
      EXPECT_EQ(c.FontCharset, languageBox ? 204 : old.FindControl(c.Name)->FontCharset);
      EXPECT_EQ(c.FontName, old.FindControl(c.Name)->FontName);
    }
  }
  // The loader sets the fonts even when nothing is shown: the windows exist, hidden.
  EXPECT_TRUE(w.Debug().Created());
  EXPECT_TRUE(w.Advanced().Created());
  EXPECT_FALSE(w.Debug().Visible());
  EXPECT_FALSE(w.Advanced().Visible());
}

TEST(DebugWindows, NothingExistsBeforeFirstUse) {
  DebugWindows w;
  EXPECT_FALSE(w.Debug().Created());
  EXPECT_FALSE(w.Advanced().Created());
  EXPECT_FALSE(w.Debug().Visible());
  EXPECT_FALSE(w.Advanced().Visible());
}

struct FirstWriteCase {
  const char* Name;
  void (*Write)(DebugWindows&);
  bool DebugCreated;
  bool AdvancedCreated;
};

[[maybe_unused]] void PrintTo(const FirstWriteCase& c, std::ostream* os) {
  *os << c.Name;
}

const std::vector<FirstWriteCase> kFirstWrites = {
    {"BoxOfDebug", [](DebugWindows& w) { w.Box(w.Debug(), "rtbTextIn"); }, true, false},
    {"BoxOfAdvanced", [](DebugWindows& w) { w.Box(w.Advanced(), "txtRuleSet"); }, false, true},
    {"LogRuleSet", [](DebugWindows& w) { w.LogRuleSet(u"x"); }, false, true},
    {"LogRuleApplied", [](DebugWindows& w) { w.LogRuleApplied(u"x"); }, false, true},
    {"LogNormRule", [](DebugWindows& w) { w.LogNormRule(u"x"); }, false, true},
    {"LogException", [](DebugWindows& w) { w.LogException(u"x"); }, false, true},
    {"AdvHandleTextNorm", [](DebugWindows& w) { w.AdvHandleTextNorm(u"/x"); }, false, true},
    {"AdvHandleTextExcept", [](DebugWindows& w) { w.AdvHandleTextExcept(u"/x"); }, false, true},
    {"TextExyIntoDebug",
     [](DebugWindows& w) {
       // Reaching the box through the window without Box() does not create it; the write does.
       auto& box = const_cast<DebugControl&>(*w.Debug().FindControl("rtbTextIn"));
       w.TextExy(box, 1032, u"text");
     },
     true, false},
    {"ClearDebugText", [](DebugWindows& w) { w.ClearDebugText(); }, true, true},
    {"AppendText", [](DebugWindows& w) { w.AppendText(w.Debug(), "rtbPhonemes", u"p#"); }, true,
     false},
};

class FirstWriteTest : public testing::TestWithParam<FirstWriteCase> {};

TEST_P(FirstWriteTest, CreatesItsWindowWithoutShowingIt) {
  DebugWindows w;
  GetParam().Write(w);
  EXPECT_EQ(w.Debug().Created(), GetParam().DebugCreated);
  EXPECT_EQ(w.Advanced().Created(), GetParam().AdvancedCreated);
  EXPECT_FALSE(w.Debug().Visible());
  EXPECT_FALSE(w.Advanced().Visible());
}

INSTANTIATE_TEST_SUITE_P(Writes, FirstWriteTest, testing::ValuesIn(kFirstWrites),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DebugWindows, ShowAndHideKeepTheContents) {
  DebugWindows w;
  w.Debug().Load();
  EXPECT_TRUE(w.Debug().Created());
  EXPECT_FALSE(w.Debug().Visible());
  w.LogRuleSet(u"rule");
  w.Advanced().Show();
  EXPECT_TRUE(w.Advanced().Visible());
  w.Advanced().Hide();
  EXPECT_FALSE(w.Advanced().Visible());
  EXPECT_TRUE(w.Advanced().Created());
  EXPECT_EQ(w.Box(w.Advanced(), "txtRuleSet").Text, u"rule\r\n");
  w.Advanced().Load();  // loading a window that exists does not show it
  EXPECT_FALSE(w.Advanced().Visible());
  w.Advanced().Show();
  w.Advanced().Load();  // nor hide it
  EXPECT_TRUE(w.Advanced().Visible());
}

TEST(DebugWindows, HidingAWindowNeverShownLeavesItUncreated) {
  DebugWindows w;
  w.Debug().Hide();
  EXPECT_FALSE(w.Debug().Created());
  EXPECT_FALSE(w.Debug().Visible());
}

const std::vector<std::pair<std::string, std::string>> kAllBoxes = {
    {"frmDebug", "rtbPhonemes"},      {"frmDebug", "rtbTextIn"},
    {"frmAdvanced", "txtRulesAppld"}, {"frmAdvanced", "txtRuleSet"},
    {"frmAdvanced", "txtExcOutput"},  {"frmAdvanced", "txtExceptAppld"},
    {"frmAdvanced", "txtNormOutput"}, {"frmAdvanced", "txtNormAppld"},
};

DebugWindow& WindowOf(DebugWindows& w, const std::string& name) {
  return name == "frmDebug" ? w.Debug() : w.Advanced();
}

// Every box holds its own name as text, and both windows are shown.
void FillAndShow(DebugWindows& w) {
  for (const auto& [window, box] : kAllBoxes)
    w.Box(WindowOf(w, window), box).Text = std::u16string(box.begin(), box.end());
  w.Debug().Show();
  w.Advanced().Show();
}

struct ClickCase {
  std::string Window;
  std::string Button;
  std::set<std::string> Emptied;
  bool DebugVisible;
  bool AdvancedVisible;
};

[[maybe_unused]] void PrintTo(const ClickCase& c, std::ostream* os) {
  *os << c.Window << "/" << c.Button;
}

const std::vector<ClickCase> kClicks = {
    {"frmDebug", "cmdCancel", {}, false, true},
    {"frmDebug", "cmdAdvanced", {}, true, true},
    {"frmDebug", "cmdClearPhonemes", {"rtbPhonemes"}, true, true},
    {"frmDebug", "cmdClearText", {"rtbTextIn"}, true, true},
    {"frmAdvanced", "cmdCancel", {}, true, false},
    {"frmAdvanced", "cmdClear", {"txtRulesAppld"}, true, true},
    {"frmAdvanced", "cmdClearEx", {"txtExcOutput", "txtExceptAppld"}, true, true},
    {"frmAdvanced", "cmdClearNorm", {"txtNormOutput", "txtNormAppld"}, true, true},
    {"frmAdvanced",
     "cmdAllClear",
     {"txtExcOutput", "txtExceptAppld", "txtNormOutput", "txtNormAppld", "txtRulesAppld"},
     true,
     true},
};

class ClickTest : public testing::TestWithParam<ClickCase> {};

TEST_P(ClickTest, EmptiesItsBoxesAndShowsOrHides) {
  const ClickCase& c = GetParam();
  DebugWindows w;
  FillAndShow(w);
  ASSERT_TRUE(w.Click(c.Window, c.Button));
  for (const auto& [window, box] : kAllBoxes) {
    SCOPED_TRACE(window + "." + box);
    const std::u16string& text = w.Box(WindowOf(w, window), box).Text;
    EXPECT_EQ(text, c.Emptied.count(box) ? u"" : std::u16string(box.begin(), box.end()));
  }
  EXPECT_EQ(w.Debug().Visible(), c.DebugVisible);
  EXPECT_EQ(w.Advanced().Visible(), c.AdvancedVisible);
  EXPECT_TRUE(w.Debug().Created());
  EXPECT_TRUE(w.Advanced().Created());
}

INSTANTIATE_TEST_SUITE_P(Buttons, ClickTest, testing::ValuesIn(kClicks), [](const auto& info) {
  return info.param.Window + "_" + info.param.Button;
});

TEST(DebugWindows, AdditionalInformationCreatesAndShowsTheAdvancedWindow) {
  DebugWindows w;
  w.Debug().Show();
  ASSERT_TRUE(w.Click("frmDebug", "cmdAdvanced"));
  EXPECT_TRUE(w.Advanced().Created());
  EXPECT_TRUE(w.Advanced().Visible());
}

TEST(DebugWindows, UnknownButtonsAndWindowsAreRefused) {
  DebugWindows w;
  FillAndShow(w);
  EXPECT_FALSE(w.Click("frmDebug", "cmdAllClear"));
  EXPECT_FALSE(w.Click("frmAdvanced", "cmdClearText"));
  EXPECT_FALSE(w.Click("frmOther", "cmdCancel"));
  EXPECT_FALSE(w.Click("frmAdvanced", ""));
  for (const auto& [window, box] : kAllBoxes)
    EXPECT_EQ(w.Box(WindowOf(w, window), box).Text, std::u16string(box.begin(), box.end()));
  EXPECT_TRUE(w.Debug().Visible());
  EXPECT_TRUE(w.Advanced().Visible());
}

TEST(DebugWindows, ClearDebugTextEmptiesEveryBoxButTheRuleSet) {
  DebugWindows w;
  FillAndShow(w);
  w.ClearDebugText();
  for (const auto& [window, box] : kAllBoxes) {
    const std::u16string& text = w.Box(WindowOf(w, window), box).Text;
    EXPECT_EQ(text, box == "txtRuleSet" ? u"txtRuleSet" : u"") << box;
  }
  // Clearing never hides.
  EXPECT_TRUE(w.Debug().Visible());
  EXPECT_TRUE(w.Advanced().Visible());
}

}  // namespace
}  // namespace parlan
