// The studio's panels: the checker's problems, the rules behind a word, the pronunciation
// tests, and the screenshots of its windows.
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "LanguageCheck.h"
#include "PronunciationTests.h"
#include "StudioWindow.h"
#include "WordRules.h"
#include "parlan/qt/DebugWindowSet.h"

namespace parlan::studio {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;

QString ToQString(const std::u16string& s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

QWidget* Panel(std::initializer_list<QWidget*> rows, QWidget* parent) {
  auto* panel = new QWidget(parent);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(4, 4, 4, 4);
  for (QWidget* row : rows) layout->addWidget(row, qobject_cast<QPushButton*>(row) ? 0 : 1);
  return panel;
}

}  // namespace

QWidget* StudioWindow::BuildProblemsPanel() {
  auto* check = new QPushButton(QStringLiteral("Check Language"), this);
  check->setObjectName(QStringLiteral("cmdCheck"));
  connect(check, &QPushButton::clicked, this, &StudioWindow::RunCheck);
  problems_ = new QListWidget(this);
  problems_->setObjectName(QStringLiteral("lstProblems"));
  connect(problems_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    JumpTo(item->data(kPathRole).toString().toStdString(), item->data(kLineRole).toInt());
  });
  return Panel({check, problems_}, this);
}

void StudioWindow::RunCheck() {
  problems_->clear();
  const std::filesystem::path folder = LanguageFolder();
  if (folder.empty()) {
    statusBar()->showMessage(QStringLiteral("The current mode is not a native language"));
    return;
  }
  try {
    const std::vector<cli::Problem> found = cli::CheckLanguageFolder(folder);
    for (const cli::Problem& problem : found) {
      auto* item = new QListWidgetItem(QString::fromStdString(cli::FormatProblem(problem)));
      item->setData(kPathRole, QString::fromStdString(problem.File));
      item->setData(kLineRole, problem.Line);
      problems_->addItem(item);
    }
    statusBar()->showMessage(found.empty() ? QStringLiteral("No problems found")
                                           : QStringLiteral("%1 problems").arg(found.size()));
  } catch (const std::exception& e) {
    statusBar()->showMessage(QString::fromStdString(e.what()));
  }
}

QWidget* StudioWindow::BuildWordRulesPanel() {
  word_ = new QLineEdit(this);
  word_->setObjectName(QStringLiteral("txtWord"));
  word_->setPlaceholderText(QStringLiteral("A word; the saved rule file converts it"));
  connect(word_, &QLineEdit::returnPressed, this, [this] { ExplainWord(word_->text()); });
  wordRules_ = new QTreeWidget(this);
  wordRules_->setObjectName(QStringLiteral("treeWordRules"));
  wordRules_->setHeaderLabels({QStringLiteral("Letters"), QStringLiteral("Phonemes"),
                               QStringLiteral("Rule"), QStringLiteral("Line")});
  wordRules_->setRootIsDecorated(false);
  connect(wordRules_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    JumpTo(item->data(0, kPathRole).toString().toStdString(), item->data(0, kLineRole).toInt());
  });
  return Panel({word_, wordRules_}, this);
}

void StudioWindow::ExplainWord(const QString& word) {
  wordRules_->clear();
  const std::filesystem::path folder = LanguageFolder();
  if (folder.empty() || files_.size() < 4) return;
  const std::filesystem::path ruleFile = files_[3].Path;
  try {
    const std::u16string w(reinterpret_cast<const char16_t*>(word.utf16()),
                           static_cast<size_t>(word.size()));
    for (const cli::LetterRuleUse& use : cli::ExplainWord(ruleFile, w)) {
      auto* item = new QTreeWidgetItem(wordRules_);
      item->setText(0, ToQString(use.Letters));
      item->setText(1, ToQString(use.Phonemes));
      item->setText(2, ToQString(use.Rule));
      const QString where = QString::fromStdString(ruleFile.filename().string());
      item->setText(3, use.Line > 0 ? QStringLiteral("%1:%2").arg(where).arg(use.Line) : QString());
      item->setData(0, kPathRole, QString::fromStdString(ruleFile.string()));
      item->setData(0, kLineRole, use.Line);
    }
  } catch (const std::exception& e) {
    statusBar()->showMessage(QString::fromStdString(e.what()));
  }
}

QWidget* StudioWindow::BuildTestsPanel() {
  auto* run = new QPushButton(QStringLiteral("Run Pronunciation Tests"), this);
  run->setObjectName(QStringLiteral("cmdRunTests"));
  connect(run, &QPushButton::clicked, this, &StudioWindow::RunTests);
  testSummary_ = new QLabel(this);
  tests_ = new QTreeWidget(this);
  tests_->setObjectName(QStringLiteral("treeTests"));
  tests_->setHeaderLabels({QStringLiteral("Result"), QStringLiteral("Line"), QStringLiteral("Text"),
                           QStringLiteral("Expected"), QStringLiteral("Got")});
  tests_->setRootIsDecorated(false);
  auto* panel = Panel({run, tests_}, this);
  static_cast<QVBoxLayout*>(panel->layout())->insertWidget(1, testSummary_);
  return panel;
}

void StudioWindow::RunTests() {
  tests_->clear();
  const std::filesystem::path folder = LanguageFolder();
  if (folder.empty()) return;
  try {
    const cli::PronunciationRun run = cli::RunPronunciationTests(folder);
    for (const cli::PronunciationCase& c : run.Cases) {
      auto* item = new QTreeWidgetItem(tests_);
      item->setText(0, c.Passed ? QStringLiteral("pass") : QStringLiteral("FAIL"));
      item->setText(1, QString::number(c.Line));
      item->setText(2, ToQString(c.Text));
      item->setText(3, ToQString(c.Expected));
      item->setText(4, ToQString(c.Actual));
    }
    testSummary_->setText(QStringLiteral("%1 of %2 passed")
                              .arg(run.Cases.size() - static_cast<size_t>(run.Failed()))
                              .arg(run.Cases.size()));
  } catch (const std::exception& e) {
    testSummary_->setText(QString::fromStdString(e.what()));
  }
}

bool StudioWindow::SaveScreenshots(const QString& folder, QStringList* written) {
  if (!QDir().mkpath(folder)) return false;
  debugSet_->Flush();
  // Each debug window is taken floating at its own size; the studio as it stands.
  const struct {
    QDockWidget* dock;
    QWidget* window;
    QSize size;
    const char* name;
  } shots[] = {{debugDock_, debugSet_->Debug(), {420, 460}, "frmDebug.png"},
               {advancedDock_, debugSet_->Advanced(), {760, 620}, "frmAdvanced.png"}};
  bool ok = true;
  for (const auto& shot : shots) {
    shot.dock->setFloating(true);
    shot.dock->show();
    shot.dock->resize(shot.size);
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromLatin1(shot.name));
    ok = shot.window->grab().save(path) && ok;
    if (written) written->append(path);
  }
  for (QDockWidget* dock : {debugDock_, advancedDock_}) dock->setFloating(false);
  QCoreApplication::processEvents();
  const QString path = QDir(folder).filePath(QStringLiteral("studio.png"));
  ok = grab().save(path) && ok;
  if (written) written->append(path);
  return ok;
}

}  // namespace parlan::studio
