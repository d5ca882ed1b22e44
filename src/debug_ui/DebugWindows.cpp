#include "debug_ui/DebugWindows.h"

namespace parlan {
namespace {

constexpr char16_t kCrLf[] = u"\r\n";
// Every text box but the phoneme box uses the language's font: "Microsoft Sans Serif",
// 8.25 points, Greek character set until the normalisation file says otherwise.
constexpr int32_t kGreekCharset = 161;

DebugControl Button(std::string name, std::u16string caption, std::string container = "") {
  DebugControl c;
  c.Name = std::move(name);
  c.Kind = ControlKind::Button;
  c.Caption = std::move(caption);
  c.Container = std::move(container);
  return c;
}

DebugControl Frame(std::string name, std::u16string caption, std::string container = "") {
  DebugControl c = Button(std::move(name), std::move(caption), std::move(container));
  c.Kind = ControlKind::Frame;
  return c;
}

DebugControl Box(std::string name, std::string container, bool languageFont = true) {
  DebugControl c;
  c.Name = std::move(name);
  c.Kind = ControlKind::TextBox;
  c.Container = std::move(container);
  if (languageFont) {
    c.FontName = "Microsoft Sans Serif";
    c.FontSize = 8.25;
    c.FontCharset = kGreekCharset;
  }
  return c;
}

std::vector<DebugControl> DebugControls() {
  return {
      Button("cmdCancel", u"Cancel"),
      Button("cmdAdvanced", u"Additional Information"),
      Frame("fraPhonemes", u"Phonemes Derived From Text"),
      Button("cmdClearPhonemes", u"Clear", "fraPhonemes"),
      Box("rtbPhonemes", "fraPhonemes", false),
      Frame("fraText", u"Text Sent To Parlan"),
      Button("cmdClearText", u"Clear", "fraText"),
      Box("rtbTextIn", "fraText"),
  };
}

std::vector<DebugControl> AdvancedControls() {
  return {
      Button("cmdAllClear", u"All Clear"),
      Button("cmdCancel", u"Cancel"),
      Frame("fraTTP", u"Text-to-phoneme"),
      Frame("fraRulesAppld", u"Rules Applied", "fraTTP"),
      Box("txtRulesAppld", "fraRulesAppld"),
      Button("cmdClear", u"Clear", "fraRulesAppld"),
      Frame("fraRules", u"Rule Set", "fraTTP"),
      Box("txtRuleSet", "fraRules"),
      Frame("fraExceptions", u"Exceptions"),
      Button("cmdClearEx", u"Clear", "fraExceptions"),
      Frame("fraExceptText", u"Output Text", "fraExceptions"),
      Box("txtExcOutput", "fraExceptText"),
      Frame("fraExceptAppl", u"Exceptions Applied", "fraExceptions"),
      Box("txtExceptAppld", "fraExceptAppl"),
      Frame("fraNormalisation", u"Normalisation"),
      Button("cmdClearNorm", u"Clear", "fraNormalisation"),
      Frame("fraNormText", u"OutputText", "fraNormalisation"),
      Box("txtNormOutput", "fraNormText"),
      Frame("fraNormAppld", u"Rules Applied", "fraNormalisation"),
      Box("txtNormAppld", "fraNormAppld"),
  };
}

// Window text read back stops at its first NUL, as the narrow window text did.
std::u16string TrimAtNull(const std::u16string& text) {
  size_t nul = text.find(u'\0');
  return nul == std::u16string::npos ? text : text.substr(0, nul);
}

}  // namespace

DebugWindow::DebugWindow(std::string name, std::u16string caption,
                         std::vector<DebugControl> controls)
    : name_(std::move(name)), caption_(std::move(caption)), controls_(std::move(controls)) {}

DebugControl* DebugWindow::Control(std::string_view name) {
  for (auto& c : controls_) {
    if (c.Name == name) {
      Load();
      return &c;
    }
  }
  return nullptr;
}

const DebugControl* DebugWindow::FindControl(std::string_view name) const {
  for (const auto& c : controls_)
    if (c.Name == name) return &c;
  return nullptr;
}

DebugWindows::DebugWindows()
    : debug_("frmDebug", u"Parlan Debug", DebugControls()),
      advanced_("frmAdvanced", u"Additional Debugging Information", AdvancedControls()) {}

DebugControl& DebugWindows::Box(DebugWindow& window, std::string_view name) {
  DebugControl* c = window.Control(name);
  // The names are fixed by this file; an unknown one is a programming error caught by tests.
  return *c;
}

void DebugWindows::Notify(const DebugWindow& window, std::string_view control) {
  if (observer_) observer_(window.Name(), std::string(control));
}

void DebugWindows::TextExy(DebugControl& ctl, int32_t /*locale*/, std::u16string_view wz) {
  ctl.Text.assign(wz);
  bool onDebug = debug_.FindControl(ctl.Name) == &ctl;
  DebugWindow& owner = onDebug ? debug_ : advanced_;
  owner.Load();
  Notify(owner, ctl.Name);
}

std::u16string DebugWindows::TextEx(const DebugControl& ctl, int32_t /*locale*/) const {
  return TrimAtNull(ctl.Text);
}

void DebugWindows::AddItemEx(DebugControl& ctl, std::u16string_view wzItem, int32_t idx,
                             int32_t /*locale*/) {
  if (idx < 0 || static_cast<size_t>(idx) > ctl.Items.size())
    ctl.Items.emplace_back(wzItem);
  else
    ctl.Items.insert(ctl.Items.begin() + idx, std::u16string(wzItem));
}

std::u16string DebugWindows::ListEx(const DebugControl& ctl, int32_t idx,
                                    int32_t /*locale*/) const {
  if (idx < 0 || static_cast<size_t>(idx) >= ctl.Items.size()) return {};
  return TrimAtNull(ctl.Items[static_cast<size_t>(idx)]);
}

void DebugWindows::ClearDebugText() {
  for (const char* name : {"rtbPhonemes", "rtbTextIn"}) {
    Box(debug_, name).Text.clear();
    Notify(debug_, name);
  }
  for (const char* name :
       {"txtNormAppld", "txtNormOutput", "txtExceptAppld", "txtExcOutput", "txtRulesAppld"}) {
    Box(advanced_, name).Text.clear();
    Notify(advanced_, name);
  }
}

// Appending costs time in proportion to the line, not to the box: the box grows in place
// instead of being read out, emptied and written back.
void DebugWindows::AppendText(DebugWindow& window, std::string_view box, std::u16string_view text) {
  Box(window, box).Text.append(text);
  Notify(window, box);
}

void DebugWindows::AppendLine(DebugWindow& window, std::string_view box, std::u16string_view line) {
  DebugControl& ctl = Box(window, box);
  ctl.Text.append(line);
  ctl.Text.append(kCrLf);
  Notify(window, box);
}

void DebugWindows::LogRuleSet(std::u16string_view line) {
  AppendLine(advanced_, "txtRuleSet", line);
}
void DebugWindows::LogRuleApplied(std::u16string_view line) {
  AppendLine(advanced_, "txtRulesAppld", line);
}
void DebugWindows::LogNormRule(std::u16string_view line) {
  AppendLine(advanced_, "txtNormAppld", line);
}
void DebugWindows::LogException(std::u16string_view line) {
  AppendLine(advanced_, "txtExceptAppld", line);
}
void DebugWindows::AdvHandleTextNorm(std::u16string_view pssStr) {
  AppendText(advanced_, "txtNormOutput", pssStr);
}
void DebugWindows::AdvHandleTextExcept(std::u16string_view pssStr) {
  AppendText(advanced_, "txtExcOutput", pssStr);
}

void DebugWindows::SetFontCharset(int32_t charset) {
  Box(debug_, "rtbTextIn").FontCharset = charset;
  for (const char* name : {"txtExceptAppld", "txtExcOutput", "txtNormAppld", "txtNormOutput",
                           "txtRulesAppld", "txtRuleSet"})
    Box(advanced_, name).FontCharset = charset;
}

bool DebugWindows::Click(std::string_view window, std::string_view button) {
  auto clearBox = [&](DebugWindow& w, const char* box) {
    Box(w, box).Text.clear();
    Notify(w, box);
  };
  if (window == "frmDebug") {
    if (button == "cmdCancel")
      debug_.Hide();
    else if (button == "cmdAdvanced")
      advanced_.Show();
    else if (button == "cmdClearPhonemes")
      clearBox(debug_, "rtbPhonemes");
    else if (button == "cmdClearText")
      clearBox(debug_, "rtbTextIn");
    else
      return false;
    Notify(debug_, "");
    return true;
  }
  if (window != "frmAdvanced") return false;
  if (button == "cmdAllClear") {
    Click(window, "cmdClearEx");
    Click(window, "cmdClearNorm");
    Click(window, "cmdClear");
  } else if (button == "cmdCancel") {
    advanced_.Hide();
  } else if (button == "cmdClear") {
    clearBox(advanced_, "txtRulesAppld");
  } else if (button == "cmdClearEx") {
    TextExy(Box(advanced_, "txtExcOutput"), locale_, u"");
    clearBox(advanced_, "txtExceptAppld");
  } else if (button == "cmdClearNorm") {
    TextExy(Box(advanced_, "txtNormOutput"), locale_, u"");
    clearBox(advanced_, "txtNormAppld");
  } else {
    return false;
  }
  Notify(advanced_, "");
  return true;
}

}  // namespace parlan
