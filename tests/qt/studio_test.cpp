// parlan-studio on the offscreen platform: the language files in their own encodings, the
// checker's problems and a word's rules jumping to their lines, the pronunciation tests, a
// saved file used by the next Speak, and the screenshots of its windows.
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "LanguageFiles.h"
#include "StudioWindow.h"
#include "debug_ui/DebugWindows.h"
#include "parlan/Parlana.h"
#include "parlan/qt/DebugWindowSet.h"
#include "strings/Unicode.h"
#include "testkit/TestKit.h"
#include "tools/TinyLanguage.h"

using namespace parlan::studio;
namespace testkit = parlan::testkit;

namespace {

// Distinct colours in a region: a box showing text has many (anti-aliased glyphs), an empty
// box one or two.
int Colours(const QImage& image, QRect region = {}) {
  if (region.isNull()) region = image.rect();
  QSet<QRgb> seen;
  for (int y = region.top(); y <= region.bottom(); ++y)
    for (int x = region.left(); x <= region.right(); ++x) seen.insert(image.pixel(x, y));
  return static_cast<int>(seen.size());
}

QString Editor(StudioWindow& studio, int tab) {
  return qobject_cast<QPlainTextEdit*>(studio.Tabs()->widget(tab))->toPlainText();
}

}  // namespace

class StudioTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { parlan::ResetThreadState(); }

  void languageFilesKeepTheirEncodings_data() {
    QTest::addColumn<int>("kind");  // 0 configuration, 1 a rule file
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoding");
    QTest::newRow("UTF-8 config") << 0 << QByteArray("GENDER=Male\nLANGID=el\xce\xbb\n")
                                  << QString("GENDER=Male\nLANGID=el\u03bb\n") << "UTF-8, LF";
    QTest::newRow("Latin-1 config") << 0 << QByteArray("MALE=Fran\xe7ois\r\n")
                                    << QString("MALE=Fran\u00e7ois\n") << "Latin-1, CR LF";
    QTest::newRow("UTF-16 with BOM") << 1
                                     << QByteArray(
                                            "\xff\xfe"
                                            "a\0\r\0\n\0\xbb\x03\r\0\n\0",
                                            14)
                                     << QString("a\n\u03bb\n") << "UTF-16 LE with BOM, CR LF";
    QTest::newRow("UTF-8 rule file with BOM") << 1 << QByteArray("\xef\xbb\xbf[a]=\xce\xbb\t\n")
                                              << QString("[a]=\u03bb\t\n") << "UTF-8 with BOM, LF";
    QTest::newRow("UTF-16 without BOM")
        << 1 << QByteArray("[\0a\0]\0=\0a\0\n\0", 12) << QString("[a]=a\n") << "UTF-16 LE, LF";
  }
  void languageFilesKeepTheirEncodings() {
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QString, encoding);
    QTemporaryDir dir;
    const auto files =
        LanguageFilesOf(std::filesystem::path(dir.path().toStdString()) / "Parlan X");
    QCOMPARE(files.size(), size_t{4});
    QCOMPARE(QString::fromStdString(files[3].Path.filename().string()), QString("Xr.ttg"));
    LanguageFile file = files[kind == 0 ? 0 : 3];
    QCOMPARE(DecodeLanguageFile(bytes, file), text);
    QCOMPARE(EncodingName(file), encoding);
    // An unchanged file is written back byte for byte; an edit keeps the encoding.
    QCOMPARE(EncodeLanguageFile(text, file), bytes);
    LanguageFile again = file;
    QCOMPARE(DecodeLanguageFile(EncodeLanguageFile(text + "\u00e9\n", file), again),
             text + "\u00e9\n");
    QCOMPARE(EncodingName(again), encoding);
  }

  void problemsAndWordRulesJumpToTheirLines() {
    testkit::TempDir root;
    testkit::LanguageFiles tiny = testkit::TinyLanguage();
    // A second run of "a" rules, two lines below the first: never used, and reported.
    tiny.Rules.insert(tiny.Rules.begin() + 9, "[a]=e");
    testkit::WriteLanguage(root.Path(), "Tiny", tiny);
    StudioWindow studio(StudioOptions{root.Path(), {}, true});
    QCOMPARE(studio.LanguageFolder(), root.Path() / "Parlan Tiny");
    QVERIFY(Editor(studio, 4).startsWith("Tiny rules\nLANGUAGE=Tiny"));

    studio.RunCheck();
    QListWidget* list = studio.ProblemList();
    QListWidgetItem* found = nullptr;
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text().contains("Tinyr.ttg:10:")) found = list->item(i);
    QVERIFY2(found, qPrintable(list->count() ? list->item(0)->text() : "no problems"));
    emit list->itemActivated(found);
    QCOMPARE(studio.Tabs()->currentIndex(), 4);
    auto* rules = qobject_cast<QPlainTextEdit*>(studio.Tabs()->widget(4));
    QCOMPARE(rules->textCursor().blockNumber(), 9);
    QCOMPARE(rules->textCursor().selectedText(), QString("[a]=e"));

    studio.ExplainWord("chat");
    QTreeWidget* tree = studio.WordRuleTree();
    QCOMPARE(tree->topLevelItemCount(), 3);
    QCOMPARE(tree->topLevelItem(0)->text(0), QString("ch"));
    QCOMPARE(tree->topLevelItem(0)->text(1), QString("tS"));
    QCOMPARE(tree->topLevelItem(0)->text(3), QString("Tinyr.ttg:11"));  // below the new line
    emit tree->itemActivated(tree->topLevelItem(2), 0);
    QCOMPARE(rules->textCursor().selectedText(), QString("[t]=t"));
  }

  void pronunciationTestsRunWithOneClick() {
    testkit::TempDir root;
    const auto folder = testkit::WriteLanguage(root.Path(), "Tiny", testkit::TinyLanguage());
    testkit::WriteBytes(folder / "tests.tsv", "chat\ttS a t\ncab\tk a p\n");
    StudioWindow studio(StudioOptions{root.Path(), {}, true});
    QTest::mouseClick(studio.findChild<QWidget*>("cmdRunTests"), Qt::LeftButton);
    QTreeWidget* tree = studio.TestTree();
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(0)->text(0), QString("pass"));
    QCOMPARE(tree->topLevelItem(1)->text(0), QString("FAIL"));
    QCOMPARE(tree->topLevelItem(1)->text(4), QString("k a b"));
  }

  void aSavedFileIsUsedByTheNextSpeak() {
    testkit::TempDir root;
    const auto folder = testkit::WriteLanguage(root.Path(), "Tiny", testkit::TinyLanguage());
    StudioWindow studio(StudioOptions{root.Path(), {}, true});
    auto& model = studio.DebugSet()->Model();
    studio.SpeakText("the cab");
    QVERIFY(parlan::ToUtf8(model.Debug().FindControl("rtbPhonemes")->Text).find("D@") !=
            std::string::npos);
    // A debug window the developer cancelled stays hidden through later Speaks.
    QVERIFY(model.Debug().Visible());
    model.Click("frmDebug", "cmdCancel");
    auto* exceptions = qobject_cast<QPlainTextEdit*>(studio.Tabs()->widget(3));
    exceptions->setPlainText(exceptions->toPlainText().replace("the --> D@", "the --> Di:"));
    QVERIFY(studio.SaveFile(3));
    const std::string bytes = testkit::ReadBytes(folder / "Tinye.ttg");
    QVERIFY(bytes.find(std::string("D\0i\0:\0", 6)) != std::string::npos);  // still UTF-16 LE
    studio.SpeakText("the cab");
    QVERIFY(parlan::ToUtf8(model.Debug().FindControl("rtbPhonemes")->Text).find("Di:") !=
            std::string::npos);
    QVERIFY(!model.Debug().Visible());
  }

  void screenshotsShowTheSpokenPhrase() {
    StudioWindow studio(StudioOptions{{}, {}, true});
    studio.show();
    studio.SpeakText("3 cats sat.");  // no dictionary word: the exceptions box stays empty
    QTemporaryDir dir;
    QStringList written;
    QVERIFY(studio.SaveScreenshots(dir.path(), &written));
    QCOMPARE(written.size(), 3);
    const QImage debug(dir.filePath("frmDebug.png"));
    const QImage advanced(dir.filePath("frmAdvanced.png"));
    QVERIFY(!debug.isNull() && !advanced.isNull());
    // Every box the phrase filled shows text; an emptied one would be a single colour.
    auto boxRegion = [](QWidget* window, const char* name) {
      QWidget* box = window->findChild<QPlainTextEdit*>(name)->viewport();
      return QRect(box->mapTo(window, QPoint(0, 0)), box->size());
    };
    for (const char* box : {"rtbTextIn", "rtbPhonemes"})
      QVERIFY2(Colours(debug, boxRegion(studio.DebugSet()->Debug(), box)) > 8, box);
    for (const char* box :
         {"txtNormAppld", "txtNormOutput", "txtExcOutput", "txtRulesAppld", "txtRuleSet"})
      QVERIFY2(Colours(advanced, boxRegion(studio.DebugSet()->Advanced(), box)) > 8, box);
    QVERIFY(Colours(advanced, boxRegion(studio.DebugSet()->Advanced(), "txtExceptAppld")) <= 8);
  }

  void theToolWritesScreenshotsAfterSpeaking() {
    QTemporaryDir dir;
    QProcess studio;
    studio.start(qEnvironmentVariable("PARLAN_STUDIO"),
                 {"--screenshot", dir.path(), "--speak", "The 3 cats sat."});
    QVERIFY(studio.waitForFinished(60000));
    QCOMPARE(studio.exitCode(), 0);
    for (const char* name : {"frmDebug.png", "frmAdvanced.png", "studio.png"}) {
      const QImage image(dir.filePath(name));
      QVERIFY2(!image.isNull(), name);
      QVERIFY2(Colours(image) > 20, name);
    }
  }
};

QTEST_MAIN(StudioTest)
#include "studio_test.moc"
