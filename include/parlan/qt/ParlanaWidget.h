// ParlanaWidget: the control on a Qt form. It hosts a Parlana, shows the control's face (the
// label "KESTA Parlan"), and delivers the control's events as signals on the Qt event loop: the
// engines wake the loop through a file descriptor when events are waiting, so nothing polls.
#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>
#include <filesystem>
#include <memory>

#include "parlan/Parlana.h"

class QLabel;
class QSocketNotifier;

namespace parlan::qt {

class ParlanaWidget : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int CurrentMode READ CurrentMode WRITE SetCurrentMode)
  Q_PROPERTY(int Pitch READ Pitch WRITE SetPitch)
  Q_PROPERTY(int Speed READ Speed WRITE SetSpeed)
  Q_PROPERTY(int Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(bool Debugging READ Debugging WRITE SetDebugging)
  Q_PROPERTY(bool NeverDebug READ NeverDebug WRITE SetNeverDebug)
  Q_PROPERTY(int CountEngines READ CountEngines)

 public:
  explicit ParlanaWidget(ParlanaSettings settings = {}, QWidget* parent = nullptr);
  ~ParlanaWidget() override;

  // Every member of the control, for what the wrappers below do not cover.
  Parlana& Control() { return *control_; }
  QLabel* Face() const { return face_; }

  // Ends the control and creates a new one with these settings (another install root or other
  // engines); the signals stay connected.
  void Recreate(ParlanaSettings settings);

  int CurrentMode() { return control_->CurrentMode(); }
  void SetCurrentMode(int value) { control_->SetCurrentMode(value); }
  int Pitch() { return control_->Pitch(); }
  void SetPitch(int value) { control_->SetPitch(value); }
  int Speed() { return control_->Speed(); }
  void SetSpeed(int value) { control_->SetSpeed(value); }
  int Volume() { return control_->Volume(); }
  void SetVolume(int value) { control_->SetVolume(value); }
  bool Debugging() { return control_->Debugging(); }
  void SetDebugging(bool value) { control_->SetDebugging(value); }
  bool NeverDebug() { return control_->NeverDebug(); }
  void SetNeverDebug(bool value) { control_->SetNeverDebug(value); }
  int CountEngines() { return control_->CountEngines(); }

  Q_INVOKABLE void Speak(const QString& text);
  Q_INVOKABLE void SpeakPhoneme(const QString& text);
  Q_INVOKABLE void AudioReset() { control_->AudioReset(); }
  Q_INVOKABLE QString ModeName(int index);
  // The last error's number, with its text in `text`.
  Q_INVOKABLE int LastError(QString* text = nullptr);

 signals:
  void AudioStart(int hi, int lo);
  void AudioStop(int hi, int lo);
  void WordPosition(int hi, int low, int byteoffset, int streamNumber, QVariant streamPosition,
                    int characterPosition, int length);
  // "CurrentMode", "Pitch", "Debugging" or "NeverDebug".
  void PropertyChanged(const QString& name);

 private:
  class Sink;
  void Attach();
  void Detach();
  void EventsWaiting();

  std::unique_ptr<Parlana> control_;
  std::shared_ptr<Sink> sink_;
  QLabel* face_ = nullptr;
  int wakeFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace parlan::qt
