// ParlanaWidget on the offscreen platform: its face, its members, and the control's events
// arriving as signals on the Qt event loop, from the recording engines and from eSpeak NG.
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "engines/RecordingEngines.h"
#include "parlan/EspeakEngines.h"
#include "parlan/qt/ParlanaWidget.h"

using parlan::qt::ParlanaWidget;

class ParlanaWidgetTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { parlan::ResetThreadState(); }

  void showsTheControlsFace() {
    ParlanaWidget widget(parlan::ParlanaSettings{{}, parlan::engines::NullEngineFactory()});
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    const auto labels = widget.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels[0]->text(), QString("KESTA Parlan"));
    QVERIFY(labels[0]->isVisible());
    QCOMPARE(labels[0]->property("fontName").toString(), QString("MS Sans Serif"));
    QVERIFY(!labels[0]->grab().isNull());
  }

  void recordingEngineEventsBecomeSignals() {
    auto engines = std::make_shared<parlan::engines::RecordingEngineFactory>();
    ParlanaWidget widget(parlan::ParlanaSettings{{}, engines});
    QSignalSpy start(&widget, &ParlanaWidget::AudioStart);
    QSignalSpy stop(&widget, &ParlanaWidget::AudioStop);
    QSignalSpy word(&widget, &ParlanaWidget::WordPosition);
    widget.SetCurrentMode(1);  // a native mode, spoken by the direct engine
    engines->ParlanSapi->RaiseAudioStart(1, 2);
    engines->ParlanSapi->RaiseWordPosition(0, 5, 8);
    engines->ParlanSapi->RaiseAudioStop(3, 4);
    QCOMPARE(start.count(), 1);
    QCOMPARE(start[0][0].toInt(), 1);
    QCOMPARE(start[0][1].toInt(), 2);
    QCOMPARE(stop.count(), 1);
    QCOMPARE(stop[0][0].toInt(), 3);
    QCOMPARE(word.count(), 1);
    QCOMPARE(word[0][2].toInt(), 8);
  }

  void membersReachTheControl() {
    auto engines = std::make_shared<parlan::engines::RecordingEngineFactory>();
    ParlanaWidget widget(parlan::ParlanaSettings{{}, engines});
    QSignalSpy changed(&widget, &ParlanaWidget::PropertyChanged);
    QVERIFY(widget.CountEngines() >= 1);
    QCOMPARE(widget.property("CountEngines").toInt(), widget.Control().CountEngines());
    QVERIFY(widget.ModeName(1).endsWith("(Parlan)"));
    widget.setProperty("CurrentMode", 1);
    QCOMPARE(widget.Control().CurrentMode(), 1);
    widget.setProperty("Debugging", true);
    QVERIFY(widget.Control().Debugging());
    QVERIFY(changed.contains(QVariantList{QString("CurrentMode")}));
    QVERIFY(changed.contains(QVariantList{QString("Debugging")}));
    widget.Speak("Cat.");
    auto spoken = engines->ParlanSapi->CallsTo(42);
    QVERIFY(!spoken.empty());
    // A new control on another root keeps the signals.
    widget.Recreate(parlan::ParlanaSettings{{}, engines});
    widget.SetCurrentMode(1);
    QSignalSpy start(&widget, &ParlanaWidget::AudioStart);
    engines->ParlanSapi->RaiseAudioStart(0, 0);
    QCOMPARE(start.count(), 1);
  }

  void espeakEventsArriveWithoutPolling() {
    if (!parlan::engines::EspeakAvailable()) QSKIP("eSpeak NG is not available");
    parlan::engines::AudioOutput none;
    none.kind = parlan::engines::AudioOutput::Kind::None;
    ParlanaWidget widget(parlan::ParlanaSettings{{}, parlan::engines::EspeakEngineFactory(none)});
    QSignalSpy start(&widget, &ParlanaWidget::AudioStart);
    QSignalSpy stop(&widget, &ParlanaWidget::AudioStop);
    QSignalSpy word(&widget, &ParlanaWidget::WordPosition);
    widget.SetCurrentMode(1);
    widget.Speak("The cat sat on the mat.");
    // Nothing here calls DoEvents: the engines wake the event loop, which delivers. Speak
    // first resets the audio with a silent utterance of its own, which may well stop before
    // the sentence starts: so wait for the words, then for every started utterance to stop.
    QTRY_VERIFY_WITH_TIMEOUT(word.count() >= 1, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(stop.count(), start.count(), 20000);
    QVERIFY(stop.count() >= 1);
  }
};

QTEST_MAIN(ParlanaWidgetTest)
#include "parlana_widget_test.moc"
