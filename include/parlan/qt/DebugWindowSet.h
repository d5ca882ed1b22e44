// The two debug windows, frmDebug ("Parlan Debug") and frmAdvanced ("Additional Debugging
// Information"), as Qt windows over the debug model. The windows only observe: their boxes
// follow the model's text, they are shown and hidden when the model's windows are, and their
// buttons act by clicking the model's buttons, so that the windows and the model never disagree.
#pragma once

#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

class QPlainTextEdit;

namespace parlan {
class DebugWindows;
class DebugWindow;
}  // namespace parlan

namespace parlan::qt {

// One debug window: a widget per control of the model's window, named as the control, inside
// the widget of its container and created in the model's order.
class DebugWindowWidget : public QWidget {
  Q_OBJECT

 public:
  DebugWindowWidget(DebugWindows& model, DebugWindow& window, QWidget* parent = nullptr);

  const std::string& WindowName() const { return name_; }
  // The widget shown and hidden with the model's window: this one unless a host put the window
  // in a container of its own (a dock).
  void SetVisibilityTarget(QWidget* target) { target_ = target; }
  QWidget* VisibilityTarget() {
    if (target_) return target_;
    return this;
  }

  // Brings the box up to the model's text: appends what the model appended, otherwise shows
  // the whole text again.
  void SyncBox(const std::string& control);
  void SyncAllBoxes();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct BoxState {
    QPlainTextEdit* Edit = nullptr;
    std::u16string Shown;  // the model's text as last shown
  };
  void CreateControls();
  void ArrangeDebug();
  void ArrangeAdvanced();
  QWidget* Child(const char* name) const;

  DebugWindows& model_;
  DebugWindow& window_;
  std::string name_;
  QPointer<QWidget> target_;
  std::vector<std::pair<std::string, BoxState>> boxes_;
};

// Both windows over one model, updated from the Qt event loop: every change the model reports
// marks its box, and one queued call per turn of the loop brings the marked boxes and the
// windows' visibility up to date, so that a pipeline writing line by line costs one repaint.
class DebugWindowSet : public QObject {
  Q_OBJECT

 public:
  // The model must outlive the set; the set is the model's one observer while it lives.
  explicit DebugWindowSet(DebugWindows& model, QObject* parent = nullptr);
  ~DebugWindowSet() override;

  // The windows start as top-level windows; a host may put them into docks, which then own them.
  DebugWindowWidget* Debug() const { return debug_; }
  DebugWindowWidget* Advanced() const { return advanced_; }
  DebugWindows& Model() const { return model_; }

  // Applies every change reported so far now instead of at the next turn of the loop.
  void Flush();

 signals:
  // After a turn of the loop brought the windows up to date.
  void Updated();

 private:
  void Changed(const std::string& window, const std::string& control);
  void SyncVisibility();

  DebugWindows& model_;
  QPointer<DebugWindowWidget> debug_;
  QPointer<DebugWindowWidget> advanced_;
  QSet<QString> dirty_;
  bool windowsDirty_ = true;
  bool scheduled_ = false;
};

// The debug model of the calling thread's controls.
DebugWindows& ThreadDebugModel();

// Sets the font of a language text box: the family asked for where it is installed, otherwise
// the system's sans-serif face at the same size. Records the family asked for and the character
// set as the properties "fontName" and "fontCharset".
void ApplyBoxFont(QWidget* widget, const std::string& family, double points, int charset);

}  // namespace parlan::qt
