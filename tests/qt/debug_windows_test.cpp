// The two debug windows as real Qt windows on the offscreen platform: their control trees and
// arrangement, their fonts, their buttons acting through the model, and their boxes following
// a Speak of the control.
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "debug_ui/DebugWindows.h"
#include "engines/RecordingEngines.h"
#include "parlan/Parlana.h"
#include "parlan/qt/DebugWindowSet.h"

using parlan::DebugWindows;
using parlan::qt::DebugWindowSet;

namespace {

struct Documented {
  const char* Name;
  const char* Kind;  // "button", "frame", "box"
  const char* Caption;
  const char* Container;  // "" for the window
};

// The windows' controls in creation order, as the language developers' guide documents them.
const std::vector<Documented> kDebugControls = {
    {"cmdCancel", "button", "Cancel", ""},
    {"cmdAdvanced", "button", "Additional Information", ""},
    {"fraPhonemes", "frame", "Phonemes Derived From Text", ""},
    {"cmdClearPhonemes", "button", "Clear", "fraPhonemes"},
    {"rtbPhonemes", "box", "", "fraPhonemes"},
    {"fraText", "frame", "Text Sent To Parlan", ""},
    {"cmdClearText", "button", "Clear", "fraText"},
    {"rtbTextIn", "box", "", "fraText"},
};
const std::vector<Documented> kAdvancedControls = {
    {"cmdAllClear", "button", "All Clear", ""},
    {"cmdCancel", "button", "Cancel", ""},
    {"fraTTP", "frame", "Text-to-phoneme", ""},
    {"fraRulesAppld", "frame", "Rules Applied", "fraTTP"},
    {"txtRulesAppld", "box", "", "fraRulesAppld"},
    {"cmdClear", "button", "Clear", "fraRulesAppld"},
    {"fraRules", "frame", "Rule Set", "fraTTP"},
    {"txtRuleSet", "box", "", "fraRules"},
    {"fraExceptions", "frame", "Exceptions", ""},
    {"cmdClearEx", "button", "Clear", "fraExceptions"},
    {"fraExceptText", "frame", "Output Text", "fraExceptions"},
    {"txtExcOutput", "box", "", "fraExceptText"},
    {"fraExceptAppl", "frame", "Exceptions Applied", "fraExceptions"},
    {"txtExceptAppld", "box", "", "fraExceptAppl"},
    {"fraNormalisation", "frame", "Normalisation", ""},
    {"cmdClearNorm", "button", "Clear", "fraNormalisation"},
    {"fraNormText", "frame", "OutputText", "fraNormalisation"},
    {"txtNormOutput", "box", "", "fraNormText"},
    {"fraNormAppld", "frame", "Rules Applied", "fraNormalisation"},
    {"txtNormAppld", "box", "", "fraNormAppld"},
};

const char* const kFiveBoxes[] = {"txtNormAppld", "txtNormOutput", "txtExceptAppld", "txtExcOutput",
                                  "txtRulesAppld"};

QWidget* WindowOf(DebugWindowSet& set, const QString& window) {
  return window == "frmDebug" ? static_cast<QWidget*>(set.Debug()) : set.Advanced();
}

QWidget* Find(QWidget* window, const char* name) {
  return window->findChild<QWidget*>(QString::fromLatin1(name));
}

QString BoxText(QWidget* window, const char* name) {
  auto* box = qobject_cast<QPlainTextEdit*>(Find(window, name));
  return box ? box->toPlainText() : QStringLiteral("<no box>");
}

std::u16string ModelText(DebugWindows& model, const QString& window, const char* name) {
  auto& w = window == "frmDebug" ? model.Debug() : model.Advanced();
  return w.FindControl(name)->Text;
}

// Fills every box of both windows through the model, as the pipeline does.
void FillAll(DebugWindows& model) {
  model.LogRuleSet(u"[a]=a");
  model.LogRuleApplied(u"F= a");
  model.LogNormRule(u"no 3 three");
  model.AdvHandleTextNorm(u"/three/");
  model.LogException(u"the -> D@");
  model.AdvHandleTextExcept(u"/D@/");
  model.AppendText(model.Debug(), "rtbTextIn", u"The 3 cats");
  model.AppendText(model.Debug(), "rtbPhonemes", u"D@#\r\n");
}

// A point of a control in its window's coordinates.
QRect Where(QWidget* window, const char* name) {
  QWidget* w = Find(window, name);
  return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

}  // namespace

class DebugWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { parlan::ResetThreadState(); }

  void controlTreeFollowsTheDocumentedLayout_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::newRow("frmDebug") << "frmDebug"
                              << "Parlan Debug";
    QTest::newRow("frmAdvanced") << "frmAdvanced"
                                 << "Additional Debugging Information";
  }
  void controlTreeFollowsTheDocumentedLayout() {
    QFETCH(QString, window);
    QFETCH(QString, caption);
    DebugWindows model;
    DebugWindowSet set(model);
    QWidget* w = WindowOf(set, window);
    QCOMPARE(w->objectName(), window);
    QCOMPARE(w->windowTitle(), caption);
    const auto& documented = window == "frmDebug" ? kDebugControls : kAdvancedControls;
    std::map<QString, QStringList> childrenOf;
    for (const Documented& d : documented) {
      QWidget* c = Find(w, d.Name);
      QVERIFY2(c, d.Name);
      const QString container = *d.Container ? QString(d.Container) : window;
      QCOMPARE(c->parentWidget()->objectName(), container);
      childrenOf[container].append(d.Name);
      if (QString(d.Kind) == "frame")
        QCOMPARE(qobject_cast<QGroupBox*>(c)->title(), QString(d.Caption));
      else if (QString(d.Kind) == "button")
        QCOMPARE(qobject_cast<QPushButton*>(c)->text(), QString(d.Caption));
      else
        QVERIFY2(qobject_cast<QPlainTextEdit*>(c), d.Name);
    }
    // Creation order within each container is the documented order.
    for (const auto& [container, names] : childrenOf) {
      QWidget* parent = container == window ? w : Find(w, container.toLatin1().constData());
      QStringList created;
      for (QObject* child : parent->children())
        if (names.contains(child->objectName())) created.append(child->objectName());
      QCOMPARE(created, names);
    }
  }

  void boxesAreReadOnlyWithScrollBarsAndTheLanguageFont() {
    DebugWindows model;
    DebugWindowSet set(model);
    for (QWidget* w : {static_cast<QWidget*>(set.Debug()), static_cast<QWidget*>(set.Advanced())}) {
      const auto boxes = w->findChildren<QPlainTextEdit*>();
      QCOMPARE(boxes.size(), w == set.Debug() ? 2 : 6);
      for (QPlainTextEdit* box : boxes) {
        QVERIFY(box->isReadOnly());
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        if (box->objectName() == "rtbPhonemes") {
          QVERIFY(!box->property("fontName").isValid());
          continue;
        }
        QCOMPARE(box->property("fontName").toString(), QString("Microsoft Sans Serif"));
        QCOMPARE(box->property("fontCharset").toInt(), 161);
        QCOMPARE(box->font().pointSizeF(), 8.25);
        QCOMPARE(box->font().weight(), QFont::Normal);
        // Where the face is missing a sans-serif face stands in; it must render something.
        QVERIFY(!QFontInfo(box->font()).family().isEmpty());
      }
    }
  }

  void arrangementIsTheDocumentedOne() {
    DebugWindows model;
    DebugWindowSet set(model);
    QWidget* d = set.Debug();
    QWidget* a = set.Advanced();
    d->show();
    a->show();
    QVERIFY(QTest::qWaitForWindowExposed(d));
    QVERIFY(QTest::qWaitForWindowExposed(a));
    auto above = [](QRect top, QRect bottom) { return top.bottom() < bottom.top(); };
    auto leftOf = [](QRect left, QRect right) { return left.right() < right.left(); };
    QVERIFY(above(Where(d, "fraText"), Where(d, "fraPhonemes")));
    QVERIFY(above(Where(d, "rtbTextIn"), Where(d, "cmdClearText")));
    QVERIFY(above(Where(d, "rtbPhonemes"), Where(d, "cmdClearPhonemes")));
    QVERIFY(above(Where(d, "fraPhonemes"), Where(d, "cmdCancel")));
    QCOMPARE(Where(d, "cmdCancel").top(), Where(d, "cmdAdvanced").top());
    QVERIFY(leftOf(Where(d, "cmdCancel"), Where(d, "cmdAdvanced")));

    QVERIFY(above(Where(a, "fraNormalisation"), Where(a, "fraExceptions")));
    QVERIFY(leftOf(Where(a, "fraNormalisation"), Where(a, "fraTTP")));
    QVERIFY(leftOf(Where(a, "fraExceptions"), Where(a, "fraTTP")));
    QVERIFY(above(Where(a, "fraNormAppld"), Where(a, "fraNormText")));
    QVERIFY(above(Where(a, "fraNormText"), Where(a, "cmdClearNorm")));
    QVERIFY(above(Where(a, "fraExceptAppl"), Where(a, "fraExceptText")));
    QVERIFY(above(Where(a, "fraExceptText"), Where(a, "cmdClearEx")));
    QVERIFY(above(Where(a, "fraRules"), Where(a, "fraRulesAppld")));
    QVERIFY(above(Where(a, "txtRulesAppld"), Where(a, "cmdClear")));
    // The right-hand column fills the height of the two frames on the left.
    QVERIFY(Where(a, "fraTTP").top() <= Where(a, "fraNormalisation").top());
    QVERIFY(Where(a, "fraTTP").bottom() >= Where(a, "fraExceptions").bottom());
    for (const char* button : {"cmdAllClear", "cmdCancel"})
      QVERIFY(above(Where(a, "fraExceptions"), Where(a, button)));
    QVERIFY(leftOf(Where(a, "cmdAllClear"), Where(a, "cmdCancel")));
  }

  void buttonsActThroughTheModel_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("emptied");
    QTest::newRow("All Clear") << "frmAdvanced"
                               << "cmdAllClear"
                               << QStringList{"txtNormAppld", "txtNormOutput", "txtExceptAppld",
                                              "txtExcOutput", "txtRulesAppld"};
    QTest::newRow("Clear rules applied") << "frmAdvanced"
                                         << "cmdClear" << QStringList{"txtRulesAppld"};
    QTest::newRow("Clear exceptions")
        << "frmAdvanced"
        << "cmdClearEx" << QStringList{"txtExcOutput", "txtExceptAppld"};
    QTest::newRow("Clear normalisation")
        << "frmAdvanced"
        << "cmdClearNorm" << QStringList{"txtNormOutput", "txtNormAppld"};
    QTest::newRow("Clear phonemes") << "frmDebug"
                                    << "cmdClearPhonemes" << QStringList{"rtbPhonemes"};
    QTest::newRow("Clear text") << "frmDebug"
                                << "cmdClearText" << QStringList{"rtbTextIn"};
  }
  void buttonsActThroughTheModel() {
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QStringList, emptied);
    DebugWindows model;
    DebugWindowSet set(model);
    FillAll(model);
    QTRY_VERIFY(!BoxText(set.Advanced(), "txtRuleSet").isEmpty());
    QTest::mouseClick(Find(WindowOf(set, window), button.toLatin1().constData()), Qt::LeftButton);
    QCoreApplication::processEvents();
    for (const auto& [w, names] : {std::pair{QString("frmDebug"), kDebugControls},
                                   std::pair{QString("frmAdvanced"), kAdvancedControls}}) {
      for (const Documented& d : names) {
        if (QString(d.Kind) != "box") continue;
        const bool gone = w == window && emptied.contains(d.Name);
        const QString shown = BoxText(WindowOf(set, w), d.Name);
        QCOMPARE(shown.isEmpty(), gone);
        QCOMPARE(ModelText(model, w, d.Name).empty(), gone);
        // The window shows the model's text, line ends aside.
        QCOMPARE(shown, QString::fromStdU16String(ModelText(model, w, d.Name)).remove('\r'));
      }
    }
  }

  void windowsAreShownAndHiddenWhenTheModelSays() {
    DebugWindows model;
    DebugWindowSet set(model);
    QVERIFY(!set.Debug()->isVisible());
    model.Debug().Show();
    QTRY_VERIFY(set.Debug()->isVisible());
    QVERIFY(!set.Advanced()->isVisible());
    QTest::mouseClick(Find(set.Debug(), "cmdAdvanced"), Qt::LeftButton);
    QVERIFY(model.Advanced().Visible());
    QTRY_VERIFY(set.Advanced()->isVisible());
    QTest::mouseClick(Find(set.Advanced(), "cmdCancel"), Qt::LeftButton);
    QVERIFY(!model.Advanced().Visible());
    QTRY_VERIFY(!set.Advanced()->isVisible());
    // Closing the window is its Cancel: the model hears of it.
    set.Debug()->close();
    QVERIFY(!model.Debug().Visible());
    QTRY_VERIFY(!set.Debug()->isVisible());
  }

  void boxesFollowAppendsAndReplacements() {
    DebugWindows model;
    DebugWindowSet set(model);
    QSignalSpy updated(&set, &DebugWindowSet::Updated);
    model.LogRuleApplied(u"a");
    QVERIFY(updated.wait(2000));
    model.LogRuleApplied(u"b");
    QVERIFY(updated.wait(2000));
    QCOMPARE(BoxText(set.Advanced(), "txtRulesAppld"), QString("a\nb\n"));
    // A box written anew rather than appended to shows only its new text.
    model.Click("frmAdvanced", "cmdClear");
    model.LogRuleApplied(u"c");
    QVERIFY(updated.wait(2000));
    QCOMPARE(BoxText(set.Advanced(), "txtRulesAppld"), QString("c\n"));
    // The character set the normalisation file names reaches the language's boxes.
    model.SetFontCharset(204);
    model.LogRuleApplied(u"d");
    QVERIFY(updated.wait(2000));
    QCOMPARE(Find(set.Advanced(), "txtRulesAppld")->property("fontCharset").toInt(), 204);
  }

  void manyWritesCostOneUpdate() {
    DebugWindows model;
    DebugWindowSet set(model);
    QSignalSpy updated(&set, &DebugWindowSet::Updated);
    for (int i = 0; i < 20000; ++i) model.LogRuleApplied(u"F= a LC= * RC= * RES= a");
    QVERIFY(updated.wait(5000));
    QCoreApplication::processEvents();
    QCOMPARE(updated.count(), 1);
    auto* box = qobject_cast<QPlainTextEdit*>(Find(set.Advanced(), "txtRulesAppld"));
    QCOMPARE(box->blockCount(), 20001);
  }

  void aSpeakFillsTheWindowsLive() {
    auto engines = std::make_shared<parlan::engines::RecordingEngineFactory>();
    parlan::Parlana control(parlan::ParlanaSettings{{}, engines});
    DebugWindowSet set(parlan::qt::ThreadDebugModel());
    QSignalSpy updated(&set, &DebugWindowSet::Updated);
    control.SetDebugging(true);
    control.SetCurrentMode(1);
    std::u16string text = u"The 3 cats sat.";
    control.Speak(text);
    QVERIFY(updated.wait(2000));
    QVERIFY(set.Debug()->isVisible());
    QVERIFY(set.Advanced()->isVisible());
    QCOMPARE(BoxText(set.Debug(), "rtbTextIn").trimmed(), QString("The 3 cats sat."));
    QVERIFY(BoxText(set.Debug(), "rtbPhonemes").contains("k'ats"));
    QVERIFY(BoxText(set.Advanced(), "txtNormAppld").contains("three"));
    QVERIFY(BoxText(set.Advanced(), "txtNormOutput").contains("three"));
    // "the" is a dictionary word of the learned English: its phonemes stand in brackets.
    QVERIFY(BoxText(set.Advanced(), "txtExcOutput").contains("/three/cats/sat/"));
    QVERIFY(BoxText(set.Advanced(), "txtRulesAppld").contains("F= c"));
    QVERIFY(!BoxText(set.Advanced(), "txtRuleSet").isEmpty());

    // "All Clear" empties the five boxes and keeps the rule set.
    const QString ruleSet = BoxText(set.Advanced(), "txtRuleSet");
    QTest::mouseClick(Find(set.Advanced(), "cmdAllClear"), Qt::LeftButton);
    QCoreApplication::processEvents();
    for (const char* box : kFiveBoxes) {
      QVERIFY2(BoxText(set.Advanced(), box).isEmpty(), box);
      QVERIFY2(ModelText(set.Model(), "frmAdvanced", box).empty(), box);
    }
    QCOMPARE(BoxText(set.Advanced(), "txtRuleSet"), ruleSet);

    // A second Speak shows only its own text.
    std::u16string again = u"Dogs.";
    control.Speak(again);
    QVERIFY(updated.wait(2000));
    QCOMPARE(BoxText(set.Debug(), "rtbTextIn").trimmed(), QString("Dogs."));
    QVERIFY(!BoxText(set.Advanced(), "txtNormOutput").contains("three"));
  }
};

QTEST_MAIN(DebugWindowsTest)
#include "debug_windows_test.moc"
