// The model of the two debug windows, frmDebug ("Parlan Debug") and frmAdvanced ("Additional
// Debugging Information"): every control by name with its caption, container and text, each
// window's created and shown state, and the behaviour of the buttons. The pipeline writes into
// the boxes; viewers only read the model, and nothing in it feeds back into speech.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace parlan {

enum class ControlKind { Label, Button, Frame, TextBox, ComboBox, ListBox };

struct DebugControl {
  std::string Name;
  ControlKind Kind = ControlKind::TextBox;
  std::u16string Caption;
  std::string Container;  // "" for the window itself
  std::u16string Text;
  std::vector<std::u16string> Items;  // list and combo boxes only
  std::string FontName;
  double FontSize = 0;
  int32_t FontCharset = 0;
};

class DebugWindow {
 public:
  DebugWindow(std::string name, std::u16string caption, std::vector<DebugControl> controls);

  const std::string& Name() const { return name_; }
  const std::u16string& Caption() const { return caption_; }
  bool Created() const { return created_; }
  bool Visible() const { return visible_; }
  const std::vector<DebugControl>& Controls() const { return controls_; }

  // Creates the window without showing it; nothing happens when it exists already.
  void Load() { SetState(true, visible_); }
  void Show() { SetState(true, true); }
  void Hide() { SetState(created_, false); }

  // Told (window name, "") whenever the window is created, shown or hidden.
  void SetObserver(std::function<void(const std::string&, const std::string&)> observer) {
    observer_ = std::move(observer);
  }

  // The control of that name, creating the window if needed; nullptr for an unknown name.
  DebugControl* Control(std::string_view name);
  const DebugControl* FindControl(std::string_view name) const;

 private:
  void SetState(bool created, bool visible) {
    if (created == created_ && visible == visible_) return;
    created_ = created;
    visible_ = visible;
    if (observer_) observer_(name_, std::string());
  }

  std::string name_;
  std::u16string caption_;
  std::vector<DebugControl> controls_;
  bool created_ = false;
  bool visible_ = false;
  std::function<void(const std::string&, const std::string&)> observer_;
};

// Both windows, and the procedures the pipeline uses to write into them.
class DebugWindows {
 public:
  DebugWindows();

  DebugWindow& Debug() { return debug_; }
  DebugWindow& Advanced() { return advanced_; }
  const DebugWindow& Debug() const { return debug_; }
  const DebugWindow& Advanced() const { return advanced_; }

  // The locale the conversion family is handed (the normalisation file's locale).
  void SetLocale(int32_t locale) { locale_ = locale; }
  int32_t Locale() const { return locale_; }

  // Conversion family. Text boxes here hold Unicode, so the text is stored unchanged; the
  // names, arguments and fallbacks are kept for the windows' callers.
  void TextExy(DebugControl& ctl, int32_t locale, std::u16string_view wz);
  void TextEx(DebugControl& ctl, int32_t locale, std::u16string_view wz) {
    TextExy(ctl, locale, wz);
  }
  std::u16string TextEx(const DebugControl& ctl, int32_t locale) const;
  void AddItemEx(DebugControl& ctl, std::u16string_view wzItem, int32_t idx, int32_t locale);
  std::u16string ListEx(const DebugControl& ctl, int32_t idx, int32_t locale) const;

  // Empties every box but the rule set, in the order the pipeline expects.
  void ClearDebugText();

  // Line loggers: each appends the line and a CR LF to its box, creating the window if needed.
  void LogRuleSet(std::u16string_view line);
  void LogRuleApplied(std::u16string_view line);
  void LogNormRule(std::u16string_view line);
  void LogException(std::u16string_view line);

  // Append a chunk to the normalisation / exception output boxes (no line break).
  void AdvHandleTextNorm(std::u16string_view pssStr);
  void AdvHandleTextExcept(std::u16string_view pssStr);

  // Sets the font character set of the language's text boxes (from the normalisation file).
  void SetFontCharset(int32_t charset);

  // The buttons' behaviour, by window and control name. False for an unknown button.
  bool Click(std::string_view window, std::string_view button);

  // Called after every change of a box or of a window's state, with the window and control
  // names ("" for a window change). Viewers use it; it must not write back into the model.
  void SetObserver(std::function<void(const std::string&, const std::string&)> observer) {
    debug_.SetObserver(observer);
    advanced_.SetObserver(observer);
    observer_ = std::move(observer);
  }

  // Boxes by name, creating their window if needed.
  DebugControl& Box(DebugWindow& window, std::string_view name);

  // Appends to a box's text; costs time in proportion to the appended text.
  void AppendText(DebugWindow& window, std::string_view box, std::u16string_view text);

 private:
  void AppendLine(DebugWindow& window, std::string_view box, std::u16string_view line);
  void Notify(const DebugWindow& window, std::string_view control);

  DebugWindow debug_;
  DebugWindow advanced_;
  int32_t locale_ = 0;
  std::function<void(const std::string&, const std::string&)> observer_;
};

// A text rendering of both windows: each window's caption and state, then every frame caption
// with its text box's text. Used by tests and by the command-line tool.
std::u16string RenderDebugWindows(const DebugWindows& windows);

// One record per text box, for machine-readable output.
struct DebugBoxView {
  std::string Window;
  std::string Control;
  std::u16string FrameCaption;
  std::u16string Text;
};
std::vector<DebugBoxView> DebugBoxViews(const DebugWindows& windows);

}  // namespace parlan
