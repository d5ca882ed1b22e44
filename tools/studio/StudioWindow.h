// parlan-studio's main window: a workbench for language developers. It hosts the control,
// speaks typed or opened text in the chosen mode, shows the two debug windows in docks, edits
// the language's four files in their own encodings, lists the checker's problems, explains how
// a word's letters became phonemes, and runs the language's pronunciation tests.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <vector>

#include "LanguageFiles.h"
#include "parlan/Engines.h"

class QComboBox;
class QDockWidget;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QTreeWidget;

namespace parlan::qt {
class DebugWindowSet;
class ParlanaWidget;
}  // namespace parlan::qt

namespace parlan::studio {

struct StudioOptions {
  std::filesystem::path Root;  // empty: the library's default install root
  QString Mode;                // a mode number or display name; empty: the first native mode
  bool Quiet = false;          // synthesise without sound
};

class StudioWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit StudioWindow(const StudioOptions& options, QWidget* parent = nullptr);
  ~StudioWindow() override;

  qt::ParlanaWidget* Control() const { return control_; }
  qt::DebugWindowSet* DebugSet() const { return debugSet_.get(); }
  QPlainTextEdit* TextEditor() const { return text_; }
  QListWidget* ProblemList() const { return problems_; }
  QTreeWidget* WordRuleTree() const { return wordRules_; }
  QTreeWidget* TestTree() const { return tests_; }
  QTabWidget* Tabs() const { return tabs_; }

  // Creates a new control on this install root and lists its modes.
  void SetRoot(const std::filesystem::path& root);
  // Selects the mode (a number or display name); false when there is none such.
  bool SelectMode(const QString& mode);
  // The folder of the current native mode's language; empty in other modes.
  std::filesystem::path LanguageFolder() const;

  void SpeakText(const QString& text);
  void Stop();
  void RunCheck();
  void ExplainWord(const QString& word);
  void RunTests();
  // Saves the language file in tab `index` (1..4); false with a message in the status bar when
  // it could not be written.
  bool SaveFile(int index);
  // Opens the language file's tab at `line` (1-based); false when the file is not one of the
  // language's four.
  bool JumpTo(const std::filesystem::path& file, int line);

  // Writes studio.png, frmDebug.png and frmAdvanced.png into the folder; the names written go
  // to `written`. False when a file could not be written.
  bool SaveScreenshots(const QString& folder, QStringList* written);

 private:
  void BuildToolBar();
  void BuildDocks();
  QDockWidget* AddDock(const QString& title, const QString& name, QWidget* content,
                       Qt::DockWidgetArea area);
  QWidget* BuildProblemsPanel();
  QWidget* BuildWordRulesPanel();
  QWidget* BuildTestsPanel();
  void ListModes();
  void LoadLanguageFiles();
  void ShowMessage(const QString& message);

  StudioOptions options_;
  std::shared_ptr<engines::EngineFactory> engines_;
  qt::ParlanaWidget* control_ = nullptr;
  std::unique_ptr<qt::DebugWindowSet> debugSet_;
  QLineEdit* root_ = nullptr;
  QComboBox* modes_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  std::vector<LanguageFile> files_;
  std::vector<QPlainTextEdit*> fileEditors_;
  QListWidget* problems_ = nullptr;
  QLineEdit* word_ = nullptr;
  QTreeWidget* wordRules_ = nullptr;
  QTreeWidget* tests_ = nullptr;
  QLabel* testSummary_ = nullptr;
  QDockWidget* debugDock_ = nullptr;
  QDockWidget* advancedDock_ = nullptr;
};

}  // namespace parlan::studio
