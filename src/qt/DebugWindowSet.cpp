#include "parlan/qt/DebugWindowSet.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "control/ModuleState.h"
#include "debug_ui/DebugWindows.h"

namespace parlan::qt {
namespace {

// The boxes hold CR LF line ends; a text widget wants bare line feeds.
QString Displayed(std::u16string_view text) {
  QString shown;
  shown.reserve(static_cast<qsizetype>(text.size()));
  for (char16_t c : text)
    if (c != u'\r') shown.append(QChar(c));
  return shown;
}

QString FromU16(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QPlainTextEdit* MakeBox(const DebugControl& control, QWidget* parent) {
  auto* box = new QPlainTextEdit(parent);
  box->setReadOnly(true);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  if (!control.FontName.empty())
    ApplyBoxFont(box, control.FontName, control.FontSize, control.FontCharset);
  return box;
}

}  // namespace

DebugWindows& ThreadDebugModel() {
  return ThreadState().Pipeline.Debug;
}

void ApplyBoxFont(QWidget* widget, const std::string& family, double points, int charset) {
  const QString wanted = QString::fromStdString(family);
  QFont font = widget->font();
  if (QFontDatabase::hasFamily(wanted)) {
    font.setFamily(wanted);
  } else {
    font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Sans Serif")});
  }
  font.setPointSizeF(points);
  font.setWeight(QFont::Normal);
  widget->setFont(font);
  widget->setProperty("fontName", wanted);
  widget->setProperty("fontCharset", charset);
}

DebugWindowWidget::DebugWindowWidget(DebugWindows& model, DebugWindow& window, QWidget* parent)
    : QWidget(parent), model_(model), window_(window), name_(window.Name()) {
  setObjectName(QString::fromStdString(name_));
  setWindowTitle(FromU16(window.Caption()));
  CreateControls();
  if (name_ == "frmDebug")
    ArrangeDebug();
  else
    ArrangeAdvanced();
  SyncAllBoxes();
}

QWidget* DebugWindowWidget::Child(const char* name) const {
  return findChild<QWidget*>(QString::fromLatin1(name));
}

void DebugWindowWidget::CreateControls() {
  // Each control is created inside its container, in the model's order, so that the widget
  // tree is the model's control tree.
  for (const DebugControl& control : window_.Controls()) {
    QWidget* parent = control.Container.empty() ? this : Child(control.Container.c_str());
    if (!parent) parent = this;
    QWidget* widget = nullptr;
    switch (control.Kind) {
      case ControlKind::Frame:
        widget = new QGroupBox(FromU16(control.Caption), parent);
        break;
      case ControlKind::Button: {
        auto* button = new QPushButton(FromU16(control.Caption), parent);
        const std::string buttonName = control.Name;
        connect(button, &QPushButton::clicked, this,
                [this, buttonName] { model_.Click(name_, buttonName); });
        widget = button;
        break;
      }
      case ControlKind::TextBox: {
        auto* box = MakeBox(control, parent);
        boxes_.push_back({control.Name, BoxState{box, {}}});
        widget = box;
        break;
      }
      default:
        continue;
    }
    widget->setObjectName(QString::fromStdString(control.Name));
  }
}

void DebugWindowWidget::ArrangeDebug() {
  // "Text Sent To Parlan" on top, the phonemes below, each "Clear" under its box, and the two
  // window buttons side by side at the bottom.
  for (const auto& [frame, box, clear] :
       {std::tuple{"fraText", "rtbTextIn", "cmdClearText"},
        std::tuple{"fraPhonemes", "rtbPhonemes", "cmdClearPhonemes"}}) {
    auto* layout = new QVBoxLayout(Child(frame));
    layout->addWidget(Child(box));
    layout->addWidget(Child(clear), 0, Qt::AlignLeft);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Child("cmdCancel"));
  buttons->addWidget(Child("cmdAdvanced"));
  buttons->addStretch();
  auto* top = new QVBoxLayout(this);
  top->addWidget(Child("fraText"), 1);
  top->addWidget(Child("fraPhonemes"), 1);
  top->addLayout(buttons);
  resize(420, 460);
}

void DebugWindowWidget::ArrangeAdvanced() {
  auto column = [this](const char* frame, std::initializer_list<const char*> inner) {
    auto* layout = new QVBoxLayout(Child(frame));
    for (const char* name : inner) {
      QWidget* w = Child(name);
      if (qobject_cast<QPushButton*>(w))
        layout->addWidget(w, 0, Qt::AlignLeft);
      else
        layout->addWidget(w, 1);
    }
  };
  column("fraNormAppld", {"txtNormAppld"});
  column("fraNormText", {"txtNormOutput"});
  column("fraNormalisation", {"fraNormAppld", "fraNormText", "cmdClearNorm"});
  column("fraExceptAppl", {"txtExceptAppld"});
  column("fraExceptText", {"txtExcOutput"});
  column("fraExceptions", {"fraExceptAppl", "fraExceptText", "cmdClearEx"});
  column("fraRules", {"txtRuleSet"});
  column("fraRulesAppld", {"txtRulesAppld", "cmdClear"});
  column("fraTTP", {"fraRules", "fraRulesAppld"});

  auto* left = new QVBoxLayout;
  left->addWidget(Child("fraNormalisation"), 1);
  left->addWidget(Child("fraExceptions"), 1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addWidget(Child("fraTTP"), 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Child("cmdAllClear"));
  buttons->addWidget(Child("cmdCancel"));
  buttons->addStretch();
  auto* top = new QVBoxLayout(this);
  top->addLayout(columns, 1);
  top->addLayout(buttons);
  resize(760, 620);
}

void DebugWindowWidget::SyncBox(const std::string& control) {
  auto it = std::find_if(boxes_.begin(), boxes_.end(),
                         [&](const auto& entry) { return entry.first == control; });
  const DebugControl* model = window_.FindControl(control);
  if (it == boxes_.end() || !model) return;
  BoxState& state = it->second;
  // The normalisation loader sets the language's character set on the model's boxes.
  if (!model->FontName.empty() && state.Edit->property("fontCharset").toInt() != model->FontCharset)
    state.Edit->setProperty("fontCharset", model->FontCharset);
  const std::u16string& text = model->Text;
  if (text == state.Shown) return;
  QScrollBar* bar = state.Edit->verticalScrollBar();
  const bool atEnd = bar->value() >= bar->maximum();
  if (text.size() > state.Shown.size() && text.compare(0, state.Shown.size(), state.Shown) == 0) {
    // The pipeline only appends while it speaks: add the new part instead of the whole text,
    // so that a long box costs no more than the lines written to it.
    QTextCursor cursor(state.Edit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(Displayed(std::u16string_view(text).substr(state.Shown.size())));
  } else {
    state.Edit->setPlainText(Displayed(text));
  }
  state.Shown = text;
  if (atEnd) bar->setValue(bar->maximum());
}

void DebugWindowWidget::SyncAllBoxes() {
  for (const auto& [name, state] : boxes_) SyncBox(name);
}

void DebugWindowWidget::closeEvent(QCloseEvent* event) {
  // Closing the window is its "Cancel": the model hides it, and the window follows the model.
  if (window_.Visible()) model_.Click(name_, "cmdCancel");
  event->ignore();
  if (!window_.Visible()) VisibilityTarget()->hide();
}

DebugWindowSet::DebugWindowSet(DebugWindows& model, QObject* parent)
    : QObject(parent),
      model_(model),
      debug_(new DebugWindowWidget(model, model.Debug())),
      advanced_(new DebugWindowWidget(model, model.Advanced())) {
  model_.SetObserver(
      [this](const std::string& window, const std::string& control) { Changed(window, control); });
  SyncVisibility();
}

DebugWindowSet::~DebugWindowSet() {
  model_.SetObserver({});
  // A window that a host placed in a dock belongs to the dock.
  for (DebugWindowWidget* w : {debug_.data(), advanced_.data()})
    if (w && !w->parent()) delete w;
}

void DebugWindowSet::Changed(const std::string& window, const std::string& control) {
  if (control.empty())
    windowsDirty_ = true;
  else
    dirty_.insert(QString::fromStdString(window + "/" + control));
  if (scheduled_) return;
  scheduled_ = true;
  QMetaObject::invokeMethod(this, &DebugWindowSet::Flush, Qt::QueuedConnection);
}

void DebugWindowSet::Flush() {
  scheduled_ = false;
  const QSet<QString> dirty = std::exchange(dirty_, {});
  for (const QString& key : dirty) {
    const qsizetype slash = key.indexOf(u'/');
    const std::string window = key.left(slash).toStdString();
    const std::string control = key.mid(slash + 1).toStdString();
    for (DebugWindowWidget* w : {debug_.data(), advanced_.data()})
      if (w && w->WindowName() == window) w->SyncBox(control);
  }
  if (std::exchange(windowsDirty_, false)) SyncVisibility();
  emit Updated();
}

void DebugWindowSet::SyncVisibility() {
  for (DebugWindowWidget* w : {debug_.data(), advanced_.data()}) {
    if (!w) continue;
    const DebugWindow& window = w->WindowName() == "frmDebug" ? model_.Debug() : model_.Advanced();
    QWidget* target = w->VisibilityTarget();
    if (target->isVisible() != window.Visible()) target->setVisible(window.Visible());
  }
}

}  // namespace parlan::qt
