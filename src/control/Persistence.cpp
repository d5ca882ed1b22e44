// Saving and restoring the control's settings through the host's property store, and the two
// debug settings.
#include <limits>

#include "control/ParlanaImpl.h"
#include "debug_ui/DebugWindows.h"

namespace parlan {
namespace {

// A saved number read into a field of the given width; a value of the wrong type or out of the
// field's range is skipped and the field keeps its value.
template <class T>
bool ReadNumber(PropertyStore& store, const char16_t* name, T defaultValue, T& field) {
  Variant v = store.ReadProperty(name, Variant(defaultValue));
  int64_t n = 0;
  if (!v.ToInt64(n)) return false;
  if (n < std::numeric_limits<T>::min() || n > std::numeric_limits<T>::max()) return false;
  field = static_cast<T>(n);
  return true;
}

}  // namespace

void Parlana::ReadProperties(PropertyStore& store) {
  Guarded([&] {
    ModuleState& s = ThreadState();
    ReadNumber<int32_t>(store, u"CurrentMode", 1, s.Modes.CurrentModeNumber);
    ReadNumber<int16_t>(store, u"Sapi5Pitch", 0, s.Sapi5Pitch);
    int16_t debug = 0;
    bool debugRead = ReadNumber<int16_t>(store, u"ParlanDebug", 0, debug);
    ReadNumber<int32_t>(store, u"ParlanVolume", 10, s.VolumeLevel);
    // A damaged "ParlanDebug" leaves the setting as it was rather than switching it off.
    if (debugRead) s.Pipeline.DebugFlags.Debugging = debug != 0;
    int16_t never = 0;
    if (ReadNumber<int16_t>(store, u"NeverDebug", 0, never)) {
      if (never != 0)
        SetNeverDebug(true);
      else
        s.Pipeline.DebugFlags.NeverDebug = false;
    }
  });
}

void Parlana::WriteProperties(PropertyStore& store) {
  Guarded([&] {
    ModuleState& s = ThreadState();
    auto flag = [](bool b) { return Variant(static_cast<int16_t>(b ? 1 : 0)); };
    store.WriteProperty(u"CurrentMode", Variant(s.Modes.CurrentModeNumber), Variant(int32_t{1}));
    store.WriteProperty(u"Sapi5Pitch", Variant(s.Sapi5Pitch), Variant(int16_t{0}));
    store.WriteProperty(u"ParlanDebug", flag(s.Pipeline.DebugFlags.Debugging), Variant(int16_t{0}));
    store.WriteProperty(u"ParlanVolume", Variant(s.VolumeLevel), Variant(int32_t{10}));
    store.WriteProperty(u"NeverDebug", flag(NeverDebug()), Variant(int16_t{0}));
  });
}

bool Parlana::Debugging() {
  return ThreadState().Pipeline.DebugFlags.Debugging;
}

void Parlana::SetDebugging(bool value) {
  Guarded([&] {
    PipelineState& p = ThreadState().Pipeline;
    p.DebugFlags.Debugging = value;
    if (!p.DebugFlags.NeverDebug && p.DebugFlags.DebugWindowsShown && value) p.Debug.Debug().Show();
    impl_->NotifyPropertyChanged(u"Debugging");
  });
}

bool Parlana::NeverDebug() {
  return ThreadState().Pipeline.DebugFlags.NeverDebug;
}

void Parlana::SetNeverDebug(bool value) {
  Guarded([&] {
    ThreadState().Pipeline.DebugFlags.NeverDebug = value;
    impl_->NotifyPropertyChanged(u"NeverDebug");
  });
}

std::vector<DebugBox> Parlana::DebugBoxes() const {
  return Guarded([&] {
    std::vector<DebugBox> boxes;
    for (auto& v : DebugBoxViews(ThreadState().Pipeline.Debug))
      boxes.push_back({v.Window, v.Control, v.FrameCaption, v.Text});
    return boxes;
  });
}

std::u16string Parlana::DebugWindowsText() const {
  return Guarded([&] { return RenderDebugWindows(ThreadState().Pipeline.Debug); });
}

bool Parlana::DebugWindowVisible(const std::string& window) const {
  const DebugWindows& d = ThreadState().Pipeline.Debug;
  if (window == "frmDebug") return d.Debug().Visible();
  if (window == "frmAdvanced") return d.Advanced().Visible();
  return false;
}

}  // namespace parlan
