// Writing into the debug boxes: line loggers, chunk appenders, the conversion family, the
// observer and the text renderings.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "debug_ui/DebugWindows.h"
#include "strings/Unicode.h"

namespace parlan {
namespace {

struct LoggerCase {
  const char* Name;
  void (DebugWindows::*Log)(std::u16string_view);
  const char* Box;
};

[[maybe_unused]] void PrintTo(const LoggerCase& c, std::ostream* os) {
  *os << c.Name;
}

const std::vector<LoggerCase> kLoggers = {
    {"LogRuleSet", &DebugWindows::LogRuleSet, "txtRuleSet"},
    {"LogRuleApplied", &DebugWindows::LogRuleApplied, "txtRulesAppld"},
    {"LogNormRule", &DebugWindows::LogNormRule, "txtNormAppld"},
    {"LogException", &DebugWindows::LogException, "txtExceptAppld"},
};

class LoggerTest : public testing::TestWithParam<LoggerCase> {};

TEST_P(LoggerTest, EachCallAppendsOneLine) {
  DebugWindows w;
  (w.*GetParam().Log)(u"a");
  (w.*GetParam().Log)(u"b");
  EXPECT_EQ(w.Box(w.Advanced(), GetParam().Box).Text, u"a\r\nb\r\n");
}

TEST_P(LoggerTest, WritesOnlyItsOwnBox) {
  DebugWindows w;
  (w.*GetParam().Log)(u"\u03b1 -> \u03b2");
  for (const DebugWindow* window : {&w.Debug(), &w.Advanced()}) {
    for (const DebugControl& c : window->Controls()) {
      bool own = window == &w.Advanced() && c.Name == GetParam().Box;
      EXPECT_EQ(c.Text, own ? u"\u03b1 -> \u03b2\r\n" : u"") << c.Name;
    }
  }
}

TEST_P(LoggerTest, EmptyLineIsALineBreak) {
  DebugWindows w;
  (w.*GetParam().Log)(u"");
  EXPECT_EQ(w.Box(w.Advanced(), GetParam().Box).Text, u"\r\n");
}

INSTANTIATE_TEST_SUITE_P(Loggers, LoggerTest, testing::ValuesIn(kLoggers),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DebugWriting, ChunksAreAppendedWithoutLineBreaks) {
  DebugWindows w;
  w.AdvHandleTextNorm(u"/one/*.");
  w.AdvHandleTextNorm(u"/two/*!");
  w.AdvHandleTextExcept(u"/[abc]");
  w.AdvHandleTextExcept(u"/x");
  EXPECT_EQ(w.Box(w.Advanced(), "txtNormOutput").Text, u"/one/*./two/*!");
  EXPECT_EQ(w.Box(w.Advanced(), "txtExcOutput").Text, u"/[abc]/x");
  EXPECT_EQ(w.Box(w.Advanced(), "txtNormAppld").Text, u"");
  EXPECT_EQ(w.Box(w.Advanced(), "txtExceptAppld").Text, u"");
}

TEST(DebugWriting, AppendingAfterAClearStartsAfresh) {
  DebugWindows w;
  w.AdvHandleTextNorm(u"/old");
  w.LogNormRule(u"old rule");
  ASSERT_TRUE(w.Click("frmAdvanced", "cmdClearNorm"));
  w.AdvHandleTextNorm(u"/new");
  w.LogNormRule(u"new rule");
  EXPECT_EQ(w.Box(w.Advanced(), "txtNormOutput").Text, u"/new");
  EXPECT_EQ(w.Box(w.Advanced(), "txtNormAppld").Text, u"new rule\r\n");
}

TEST(DebugWriting, TextExyReplacesTheTextAndTextExReadsIt) {
  DebugWindows w;
  DebugControl& box = w.Box(w.Debug(), "rtbTextIn");
  w.TextExy(box, 1032, u"\u0393\u03b5\u03b9\u03b1");
  EXPECT_EQ(w.TextEx(box, 1032), u"\u0393\u03b5\u03b9\u03b1");
  w.TextEx(box, 1033, u"second");  // the setter of the same family
  EXPECT_EQ(box.Text, u"second");
  EXPECT_EQ(w.TextEx(box, 0), u"second");  // the locale does not change what is read
  w.TextExy(box, 1032, u"");
  EXPECT_EQ(w.TextEx(box, 1032), u"");
}

TEST(DebugWriting, TextExStopsAtTheFirstNul) {
  const std::vector<std::pair<std::u16string, std::u16string>> cases = {
      {std::u16string(u"ab\0cd", 5), u"ab"},
      {std::u16string(u"\0x", 2), u""},
      {std::u16string(u"ab\0", 3), u"ab"},
      {u"no nul", u"no nul"},
      {u"", u""},
  };
  DebugWindows w;
  DebugControl& box = w.Box(w.Advanced(), "txtNormOutput");
  for (const auto& [stored, read] : cases) {
    w.TextExy(box, 1032, stored);
    EXPECT_EQ(box.Text, stored);  // stored unchanged
    EXPECT_EQ(w.TextEx(box, 1032), read);
  }
}

TEST(DebugWriting, ListEntriesInsertedByPosition) {
  struct Step {
    std::u16string Item;
    int32_t Index;
    std::vector<std::u16string> After;
  };
  const std::vector<Step> steps = {
      {u"a", -1, {u"a"}},  // -1 appends
      {u"b", -1, {u"a", u"b"}},
      {u"c", 0, {u"c", u"a", u"b"}},        // in range: inserted before that entry
      {u"d", 3, {u"c", u"a", u"b", u"d"}},  // one past the end: at the end
      {u"e", 1, {u"c", u"e", u"a", u"b", u"d"}},
      {u"f", 99, {u"c", u"e", u"a", u"b", u"d", u"f"}},  // beyond the end: appended
      {u"g", -7, {u"c", u"e", u"a", u"b", u"d", u"f", u"g"}},
  };
  DebugWindows w;
  DebugControl list;
  list.Name = "lstTest";
  list.Kind = ControlKind::ListBox;
  for (const Step& s : steps) {
    w.AddItemEx(list, s.Item, s.Index, 1032);
    EXPECT_EQ(list.Items, s.After) << "after inserting at " << s.Index;
  }
  for (size_t i = 0; i < list.Items.size(); ++i)
    EXPECT_EQ(w.ListEx(list, static_cast<int32_t>(i), 1032), list.Items[i]);
}

TEST(DebugWriting, ListExOutsideTheListIsEmptyAndStopsAtNul) {
  DebugWindows w;
  DebugControl combo;
  combo.Name = "cboTest";
  combo.Kind = ControlKind::ComboBox;
  w.AddItemEx(combo, u"one", -1, 1032);
  w.AddItemEx(combo, std::u16string(u"tw\0o", 4), -1, 1032);
  EXPECT_EQ(w.ListEx(combo, -1, 1032), u"");
  EXPECT_EQ(w.ListEx(combo, 2, 1032), u"");
  EXPECT_EQ(w.ListEx(combo, 1000, 1032), u"");
  EXPECT_EQ(w.ListEx(combo, 0, 1032), u"one");
  EXPECT_EQ(w.ListEx(combo, 1, 1032), u"tw");
}

using Change = std::pair<std::string, std::string>;

struct Recorder {
  std::vector<Change> Changes;
  void Attach(DebugWindows& w) {
    w.SetObserver([this](const std::string& window, const std::string& control) {
      Changes.emplace_back(window, control);
    });
  }
  // The box changes only, in order, without window changes.
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& [window, control] : Changes)
      if (!control.empty()) out.push_back(control);
    return out;
  }
  bool Saw(const Change& c) const {
    for (const auto& x : Changes)
      if (x == c) return true;
    return false;
  }
};

TEST(DebugObserver, ToldOfEveryBoxWrite) {
  DebugWindows w;
  Recorder r;
  r.Attach(w);
  w.LogRuleSet(u"x");
  w.LogRuleApplied(u"x");
  w.LogNormRule(u"x");
  w.LogException(u"x");
  w.AdvHandleTextNorm(u"/x");
  w.AdvHandleTextExcept(u"/x");
  w.TextExy(w.Box(w.Debug(), "rtbTextIn"), 1032, u"text");
  w.AppendText(w.Debug(), "rtbPhonemes", u"p#\r\n");
  EXPECT_EQ(r.Boxes(), (std::vector<std::string>{"txtRuleSet", "txtRulesAppld", "txtNormAppld",
                                                 "txtExceptAppld", "txtNormOutput", "txtExcOutput",
                                                 "rtbTextIn", "rtbPhonemes"}));
  EXPECT_TRUE(r.Saw({"frmDebug", "rtbTextIn"}));
  EXPECT_TRUE(r.Saw({"frmAdvanced", "txtRuleSet"}));
}

TEST(DebugObserver, ClearDebugTextInItsOrder) {
  DebugWindows w;
  Recorder r;
  r.Attach(w);
  w.ClearDebugText();
  EXPECT_EQ(r.Boxes(),
            (std::vector<std::string>{"rtbPhonemes", "rtbTextIn", "txtNormAppld", "txtNormOutput",
                                      "txtExceptAppld", "txtExcOutput", "txtRulesAppld"}));
}

TEST(DebugObserver, AllClearRunsTheThreeClearsInOrder) {
  DebugWindows w;
  Recorder r;
  r.Attach(w);
  ASSERT_TRUE(w.Click("frmAdvanced", "cmdAllClear"));
  EXPECT_EQ(r.Boxes(), (std::vector<std::string>{"txtExcOutput", "txtExceptAppld", "txtNormOutput",
                                                 "txtNormAppld", "txtRulesAppld"}));
}

TEST(DebugObserver, ToldOfEveryWindowStateChange) {
  DebugWindows w;
  Recorder r;
  r.Attach(w);
  w.Debug().Show();
  ASSERT_EQ(r.Changes, (std::vector<Change>{{"frmDebug", ""}}));
  r.Changes.clear();
  ASSERT_TRUE(w.Click("frmDebug", "cmdAdvanced"));
  EXPECT_TRUE(r.Saw({"frmAdvanced", ""}));
  r.Changes.clear();
  w.Advanced().Hide();
  EXPECT_EQ(r.Changes, (std::vector<Change>{{"frmAdvanced", ""}}));
  r.Changes.clear();
  ASSERT_TRUE(w.Click("frmDebug", "cmdCancel"));
  EXPECT_TRUE(r.Saw({"frmDebug", ""}));
  EXPECT_FALSE(r.Saw({"frmAdvanced", ""}));
}

TEST(DebugObserver, CreationOnFirstWriteIsAWindowChange) {
  DebugWindows w;
  Recorder r;
  r.Attach(w);
  w.LogRuleSet(u"x");
  w.LogRuleSet(u"y");
  EXPECT_EQ(r.Changes, (std::vector<Change>{{"frmAdvanced", ""},
                                            {"frmAdvanced", "txtRuleSet"},
                                            {"frmAdvanced", "txtRuleSet"}}));
}

TEST(DebugObserver, NothingIsToldWhenNothingChanges) {
  DebugWindows w;
  w.Debug().Show();
  Recorder r;
  r.Attach(w);
  w.Debug().Show();
  w.Debug().Load();
  w.Advanced().Hide();
  EXPECT_TRUE(r.Changes.empty());
}

// Fills each box with a text naming it.
DebugWindows Filled() {
  DebugWindows w;
  w.LogRuleSet(u"WC 1 : a,e");
  w.LogRuleApplied(u"rule a");
  w.LogNormRule(u"isol x");
  w.LogException(u"dr -> doctor");
  w.AdvHandleTextNorm(u"/norm/*.");
  w.AdvHandleTextExcept(u"/exc/*.");
  w.TextExy(w.Box(w.Debug(), "rtbTextIn"), 1032, u"\u0393\u03b5\u03b9\u03b1");
  w.AppendText(w.Debug(), "rtbPhonemes", u" g e j a#\r\n");
  return w;
}

const std::vector<std::pair<std::u16string, std::u16string>> kCaptionAndText = {
    {u"Phonemes Derived From Text", u" g e j a#\r\n"},
    {u"Text Sent To Parlan", u"\u0393\u03b5\u03b9\u03b1"},
    {u"Rules Applied", u"rule a\r\n"},
    {u"Rule Set", u"WC 1 : a,e\r\n"},
    {u"Output Text", u"/exc/*."},
    {u"Exceptions Applied", u"dr -> doctor\r\n"},
    {u"OutputText", u"/norm/*."},
    {u"Rules Applied", u"isol x\r\n"},
};

TEST(DebugRendering, BoxViewsGiveEveryBoxWithItsFrameCaption) {
  DebugWindows w = Filled();
  std::vector<DebugBoxView> views = DebugBoxViews(w);
  ASSERT_EQ(views.size(), kCaptionAndText.size());
  const std::vector<std::string> names = {"rtbPhonemes",   "rtbTextIn",    "txtRulesAppld",
                                          "txtRuleSet",    "txtExcOutput", "txtExceptAppld",
                                          "txtNormOutput", "txtNormAppld"};
  for (size_t i = 0; i < views.size(); ++i) {
    EXPECT_EQ(views[i].Window, i < 2 ? "frmDebug" : "frmAdvanced");
    EXPECT_EQ(views[i].Control, names[i]);
    EXPECT_EQ(views[i].FrameCaption, kCaptionAndText[i].first);
    EXPECT_EQ(views[i].Text, kCaptionAndText[i].second);
  }
}

// The text rendering with CR LF shown as plain line breaks.
std::u16string Plain(std::u16string text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')) out += text[i];
  return out;
}

TEST(DebugRendering, RenderingShowsEachFrameCaptionWithItsBoxText) {
  DebugWindows w = Filled();
  w.Debug().Show();
  std::u16string text = RenderDebugWindows(w);
  size_t from = 0;
  for (const auto& [caption, content] : kCaptionAndText) {
    size_t at = text.find(caption, from);
    ASSERT_NE(at, std::u16string::npos) << ToUtf8(caption);
    size_t body = text.find(u'\n', at);
    ASSERT_NE(body, std::u16string::npos);
    std::u16string shown = Plain(content);
    EXPECT_EQ(text.compare(body + 1, shown.size(), shown), 0) << ToUtf8(caption);
    from = body + 1 + shown.size();
  }
  EXPECT_NE(text.find(u"Parlan Debug"), std::u16string::npos);
  EXPECT_NE(text.find(u"Additional Debugging Information"), std::u16string::npos);
  EXPECT_EQ(text.find(u'\r'), std::u16string::npos);
}

TEST(DebugRendering, WindowStatesAreDistinguished) {
  DebugWindows w;
  std::u16string none = RenderDebugWindows(w);
  w.Debug().Load();
  std::u16string hidden = RenderDebugWindows(w);
  w.Debug().Show();
  std::u16string shown = RenderDebugWindows(w);
  EXPECT_NE(none, hidden);
  EXPECT_NE(hidden, shown);
  EXPECT_NE(none, shown);
}

}  // namespace
}  // namespace parlan
