#include "StudioWindow.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolBar>

#include "ControlHost.h"
#include "control/ModuleState.h"
#include "debug_ui/DebugWindows.h"
#include "parlan/qt/DebugWindowSet.h"
#include "parlan/qt/ParlanaWidget.h"

namespace parlan::studio {
namespace {

constexpr char16_t kNativeSuffix[] = u" (Parlan)";

QString ToQString(const std::u16string& s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

QString PathText(const std::filesystem::path& p) {
  return QString::fromStdString(p.string());
}

}  // namespace

StudioWindow::StudioWindow(const StudioOptions& options, QWidget* parent)
    : QMainWindow(parent), options_(options) {
  setObjectName(QStringLiteral("parlanStudio"));
  setWindowTitle(QStringLiteral("Parlan Studio"));
  engines_ =
      cli::MakeEngines(options.Quiet || !cli::AudioAvailable() ? cli::AudioChoice::None
                                                               : cli::AudioChoice::SoundServer);
  control_ = new qt::ParlanaWidget(ParlanaSettings{options.Root, engines_}, this);
  connect(control_, &qt::ParlanaWidget::AudioStart, this,
          [this] { ShowMessage(QStringLiteral("Speaking")); });
  connect(control_, &qt::ParlanaWidget::AudioStop, this,
          [this] { ShowMessage(QStringLiteral("Done")); });
  statusBar()->addPermanentWidget(control_);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("tabs"));
  text_ = new QPlainTextEdit(tabs_);
  text_->setObjectName(QStringLiteral("txtSpeak"));
  text_->setPlainText(QStringLiteral("The 3 cats sat."));
  tabs_->addTab(text_, QStringLiteral("Text"));
  for (int i = 0; i < 4; ++i) {
    auto* editor = new QPlainTextEdit(tabs_);
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    fileEditors_.push_back(editor);
    tabs_->addTab(editor, QString());
  }
  setCentralWidget(tabs_);

  debugSet_ = std::make_unique<qt::DebugWindowSet>(qt::ThreadDebugModel());
  BuildToolBar();
  BuildDocks();
  ListModes();
  SelectMode(options.Mode);
  resize(1200, 800);
}

StudioWindow::~StudioWindow() = default;

void StudioWindow::BuildToolBar() {
  QToolBar* bar = addToolBar(QStringLiteral("Speech"));
  bar->setObjectName(QStringLiteral("speechBar"));
  bar->addWidget(new QLabel(QStringLiteral("Install root: "), bar));
  root_ = new QLineEdit(PathText(control_->Control().InstallRoot()), bar);
  root_->setMinimumWidth(260);
  connect(root_, &QLineEdit::editingFinished, this,
          [this] { SetRoot(root_->text().toStdString()); });
  bar->addWidget(root_);
  bar->addAction(QStringLiteral("Browse..."), this, [this] {
    const QString dir =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Install root"), root_->text());
    if (!dir.isEmpty()) SetRoot(dir.toStdString());
  });
  bar->addSeparator();
  modes_ = new QComboBox(bar);
  modes_->setObjectName(QStringLiteral("cboMode"));
  modes_->setMinimumWidth(220);
  connect(modes_, &QComboBox::activated, this,
          [this](int index) { SelectMode(QString::number(index + 1)); });
  bar->addWidget(modes_);
  bar->addAction(QStringLiteral("Speak"), this, [this] { SpeakText(text_->toPlainText()); });
  bar->addAction(QStringLiteral("Stop"), this, &StudioWindow::Stop);
  bar->addAction(QStringLiteral("Open Text..."), this, [this] {
    const QString name = QFileDialog::getOpenFileName(this, QStringLiteral("Open text"));
    QFile file(name);
    if (!name.isEmpty() && file.open(QIODevice::ReadOnly))
      text_->setPlainText(QString::fromUtf8(file.readAll()));
  });
  bar->addAction(QStringLiteral("Save File"), this, [this] {
    if (tabs_->currentIndex() > 0) SaveFile(tabs_->currentIndex());
  });
  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->addAction(QStringLiteral("Parlan Debug"), this,
                  [this] { debugSet_->Model().Debug().Show(); });
  view->addAction(QStringLiteral("Additional Debugging Information"), this,
                  [this] { debugSet_->Model().Click("frmDebug", "cmdAdvanced"); });
}

QDockWidget* StudioWindow::AddDock(const QString& title, const QString& name, QWidget* content,
                                   Qt::DockWidgetArea area) {
  auto* dock = new QDockWidget(title, this);
  dock->setObjectName(name);
  dock->setWidget(content);
  addDockWidget(area, dock);
  return dock;
}

void StudioWindow::BuildDocks() {
  // The debug windows hide only through their "Cancel" buttons, so that the model decides.
  const auto floatable = QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable;
  debugDock_ = AddDock(QStringLiteral("Parlan Debug"), QStringLiteral("dockDebug"),
                       debugSet_->Debug(), Qt::RightDockWidgetArea);
  advancedDock_ =
      AddDock(QStringLiteral("Additional Debugging Information"), QStringLiteral("dockAdvanced"),
              debugSet_->Advanced(), Qt::RightDockWidgetArea);
  for (QDockWidget* dock : {debugDock_, advancedDock_}) dock->setFeatures(floatable);
  debugSet_->Debug()->SetVisibilityTarget(debugDock_);
  debugSet_->Advanced()->SetVisibilityTarget(advancedDock_);
  debugDock_->setVisible(debugSet_->Model().Debug().Visible());
  advancedDock_->setVisible(debugSet_->Model().Advanced().Visible());
  QDockWidget* problems = AddDock(QStringLiteral("Problems"), QStringLiteral("dockProblems"),
                                  BuildProblemsPanel(), Qt::BottomDockWidgetArea);
  QDockWidget* words = AddDock(QStringLiteral("Word Rules"), QStringLiteral("dockWordRules"),
                               BuildWordRulesPanel(), Qt::BottomDockWidgetArea);
  QDockWidget* tests = AddDock(QStringLiteral("Pronunciation Tests"), QStringLiteral("dockTests"),
                               BuildTestsPanel(), Qt::BottomDockWidgetArea);
  tabifyDockWidget(problems, words);
  tabifyDockWidget(words, tests);
  problems->raise();
}

void StudioWindow::SetRoot(const std::filesystem::path& root) {
  options_.Root = root;
  control_->Recreate(ParlanaSettings{root, engines_});
  // The new root's languages are read afresh at the next Speak.
  ThreadState().Pipeline.ForgetLanguageFiles();
  root_->setText(PathText(control_->Control().InstallRoot()));
  ListModes();
  SelectMode(QString());
}

void StudioWindow::ListModes() {
  modes_->clear();
  const int count = control_->CountEngines();
  for (int i = 1; i <= count; ++i)
    modes_->addItem(QStringLiteral("%1: %2").arg(i).arg(control_->ModeName(i)));
}

bool StudioWindow::SelectMode(const QString& mode) {
  const int count = control_->CountEngines();
  int chosen = 0;
  bool isNumber = false;
  const int number = mode.toInt(&isNumber);
  for (int i = 1; i <= count && chosen == 0; ++i) {
    const QString name = control_->ModeName(i);
    if (mode.isEmpty() ? name.endsWith(ToQString(kNativeSuffix))
                       : (isNumber ? i == number : name == mode))
      chosen = i;
  }
  if (chosen == 0 && mode.isEmpty() && count > 0) chosen = 1;
  if (chosen == 0) {
    ShowMessage(QStringLiteral("No mode %1").arg(mode));
    return false;
  }
  control_->SetCurrentMode(chosen);
  modes_->setCurrentIndex(chosen - 1);
  LoadLanguageFiles();
  return true;
}

std::filesystem::path StudioWindow::LanguageFolder() const {
  const QString name = control_->ModeName(control_->CurrentMode());
  if (!name.endsWith(ToQString(kNativeSuffix))) return {};
  // "<language> Male (Parlan)" or "<language> Female (Parlan)".
  const QString withGender =
      name.chopped(static_cast<qsizetype>(std::u16string_view(kNativeSuffix).size()));
  const qsizetype cut = withGender.lastIndexOf(u' ');
  if (cut <= 0) return {};
  return control_->Control().InstallRoot() / ("Parlan " + withGender.left(cut).toStdString());
}

void StudioWindow::LoadLanguageFiles() {
  const std::filesystem::path folder = LanguageFolder();
  files_ = folder.empty() ? std::vector<LanguageFile>{} : LanguageFilesOf(folder);
  for (size_t i = 0; i < fileEditors_.size(); ++i) {
    QPlainTextEdit* editor = fileEditors_[i];
    const int tab = static_cast<int>(i) + 1;
    if (i >= files_.size()) {
      editor->clear();
      tabs_->setTabText(tab, QStringLiteral("-"));
      tabs_->setTabEnabled(tab, false);
      continue;
    }
    QString text, error;
    if (!ReadLanguageFile(files_[i], text, error)) ShowMessage(error);
    editor->setPlainText(text);
    // The language's own characters show in the language's font.
    qt::ApplyBoxFont(editor, "Microsoft Sans Serif", 10, 0);
    tabs_->setTabEnabled(tab, true);
    tabs_->setTabText(tab, QStringLiteral("%1 (%2)").arg(files_[i].Role, EncodingName(files_[i])));
    tabs_->setTabToolTip(tab, PathText(files_[i].Path));
  }
}

bool StudioWindow::SaveFile(int index) {
  const size_t i = static_cast<size_t>(index - 1);
  if (index < 1 || i >= files_.size()) return false;
  QString error;
  if (!WriteLanguageFile(files_[i], fileEditors_[i]->toPlainText(), error)) {
    ShowMessage(QStringLiteral("Cannot save %1: %2").arg(PathText(files_[i].Path), error));
    return false;
  }
  files_[i].Exists = true;
  ThreadState().Pipeline.ForgetLanguageFiles();
  ShowMessage(QStringLiteral("Saved %1").arg(PathText(files_[i].Path)));
  return true;
}

bool StudioWindow::JumpTo(const std::filesystem::path& file, int line) {
  for (size_t i = 0; i < files_.size(); ++i) {
    if (files_[i].Path != file) continue;
    QPlainTextEdit* editor = fileEditors_[i];
    tabs_->setCurrentIndex(static_cast<int>(i) + 1);
    const QTextBlock block = editor->document()->findBlockByNumber(std::max(0, line - 1));
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    editor->centerCursor();
    editor->setFocus();
    return true;
  }
  return false;
}

void StudioWindow::SpeakText(const QString& text) {
  // The debug windows are the point of the workbench: they open at the first native Speak.
  // Setting Debugging shows frmDebug again; a window the developer cancelled stays hidden.
  if (control_->NeverDebug()) control_->SetNeverDebug(false);
  if (!control_->Debugging()) control_->SetDebugging(true);
  control_->Speak(text);
  QString error;
  if (const int number = control_->LastError(&error); number != 0)
    ShowMessage(QStringLiteral("Error %1: %2").arg(number).arg(error));
}

void StudioWindow::Stop() {
  control_->AudioReset();
}

void StudioWindow::ShowMessage(const QString& message) {
  statusBar()->showMessage(message, 10000);
}

}  // namespace parlan::studio
