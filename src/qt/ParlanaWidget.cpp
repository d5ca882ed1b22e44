#include "parlan/qt/ParlanaWidget.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QSocketNotifier>

#include "parlan/qt/DebugWindowSet.h"

namespace parlan::qt {
namespace {

QVariant ToQVariant(const Variant& v) {
  switch (v.type()) {
    case Variant::Type::Boolean:
      return v.AsBool();
    case Variant::Type::Integer:
    case Variant::Type::Long: {
      int64_t n = 0;
      v.ToInt64(n);
      return QVariant::fromValue<qlonglong>(n);
    }
    case Variant::Type::Double:
      return v.AsDouble();
    case Variant::Type::String: {
      const std::u16string& s = v.AsString();
      return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
    }
    default:
      return {};
  }
}

std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<size_t>(text.size()));
}

}  // namespace

// Turns the control's events into the widget's signals; runs on the thread that calls
// DoEvents, which is the widget's.
class ParlanaWidget::Sink : public ParlanaEvents {
 public:
  explicit Sink(ParlanaWidget* owner) : owner_(owner) {}
  void AudioStart(int32_t& hi, int32_t& lo) override { emit owner_->AudioStart(hi, lo); }
  void AudioStop(int32_t& hi, int32_t& lo) override { emit owner_->AudioStop(hi, lo); }
  void WordPosition(int32_t& hi, int32_t& low, int32_t& byteoffset, int32_t stream,
                    Variant position, int32_t character, int32_t length) override {
    emit owner_->WordPosition(hi, low, byteoffset, stream, ToQVariant(position), character, length);
  }

 private:
  ParlanaWidget* owner_;
};

ParlanaWidget::ParlanaWidget(ParlanaSettings settings, QWidget* parent) : QWidget(parent) {
  face_ = new QLabel(QStringLiteral("KESTA Parlan"), this);
  face_->setObjectName(QStringLiteral("lblFace"));
  ApplyBoxFont(face_, "MS Sans Serif", 8.25, 0);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(face_);

  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd_ >= 0) {
    notifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ParlanaWidget::EventsWaiting);
  }
  sink_ = std::make_shared<Sink>(this);
  control_ = std::make_unique<Parlana>(std::move(settings));
  Attach();
}

ParlanaWidget::~ParlanaWidget() {
  Detach();
  control_.reset();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void ParlanaWidget::Attach() {
  control_->AddEventSink(sink_);
  control_->SetPropertyChangedCallback([this](const std::u16string& name) {
    emit PropertyChanged(QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size())));
  });
  if (wakeFd_ < 0) return;
  const int fd = wakeFd_;
  control_->SetEventsWaiting([fd] {
    const uint64_t one = 1;
    // A full counter already wakes the loop; nothing is lost when this write fails.
    [[maybe_unused]] ssize_t written = ::write(fd, &one, sizeof one);
  });
}

void ParlanaWidget::Detach() {
  control_->SetEventsWaiting({});
  control_->SetPropertyChangedCallback({});
  control_->RemoveEventSink(sink_);
}

void ParlanaWidget::Recreate(ParlanaSettings settings) {
  Detach();
  control_.reset();
  control_ = std::make_unique<Parlana>(std::move(settings));
  Attach();
}

void ParlanaWidget::EventsWaiting() {
  uint64_t count = 0;
  [[maybe_unused]] ssize_t got = ::read(wakeFd_, &count, sizeof count);
  control_->DoEvents();
}

void ParlanaWidget::Speak(const QString& text) {
  std::u16string t = ToU16(text);
  control_->Speak(t);
}

void ParlanaWidget::SpeakPhoneme(const QString& text) {
  std::u16string t = ToU16(text);
  control_->SpeakPhoneme(t);
}

QString ParlanaWidget::ModeName(int index) {
  const std::u16string name = control_->ModeName(static_cast<int16_t>(index));
  return QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size()));
}

int ParlanaWidget::LastError(QString* text) {
  std::u16string error;
  const int number = control_->LastError(error);
  if (text) *text = QString::fromUtf16(error.data(), static_cast<qsizetype>(error.size()));
  return number;
}

}  // namespace parlan::qt
