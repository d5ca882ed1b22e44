#include "debug_ui/DebugWindows.h"

#include "strings/Unicode.h"

namespace parlan {
namespace {

const std::u16string& FrameCaptionOf(const DebugWindow& window, const DebugControl& box) {
  static const std::u16string none;
  const DebugControl* frame = window.FindControl(box.Container);
  return frame ? frame->Caption : none;
}

}  // namespace

std::vector<DebugBoxView> DebugBoxViews(const DebugWindows& windows) {
  std::vector<DebugBoxView> views;
  for (const DebugWindow* window : {&windows.Debug(), &windows.Advanced()}) {
    for (const DebugControl& c : window->Controls()) {
      if (c.Kind != ControlKind::TextBox) continue;
      views.push_back({window->Name(), c.Name, FrameCaptionOf(*window, c), c.Text});
    }
  }
  return views;
}

std::u16string RenderDebugWindows(const DebugWindows& windows) {
  std::u16string out;
  for (const DebugWindow* window : {&windows.Debug(), &windows.Advanced()}) {
    out += u"== " + window->Caption() + u" (" + U16(window->Name()) + u", " +
           (window->Visible()   ? u"shown"
            : window->Created() ? u"hidden"
                                : u"not created") +
           u") ==\n";
    for (const DebugControl& c : window->Controls()) {
      if (c.Kind != ControlKind::TextBox) continue;
      out += u"-- " + FrameCaptionOf(*window, c) + u" [" + U16(c.Name) + u"]\n";
      std::u16string text = c.Text;
      // Boxes keep CR LF line ends; a rendering for a terminal shows plain line breaks.
      std::u16string plain;
      for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')) plain += text[i];
      out += plain;
      if (!plain.empty() && plain.back() != u'\n') out += u'\n';
    }
  }
  return out;
}

}  // namespace parlan
