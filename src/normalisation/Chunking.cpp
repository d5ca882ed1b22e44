#include "normalisation/Normalisation.h"

namespace parlan {

void EnsureFinalStop(const NormalisationTables& tables, RemainingText& text, bool& dotAdded) {
  text.RightTrimSpaces();
  if (text.Empty()) {
    // The empty last character "occurs" in any non-empty list of phrase ends.
    if (!tables.PhraseEndChars.empty()) return;
  } else {
    char16_t last = text.Back();
    if (last == u'.' || tables.PhraseEndChars.find(last) != std::u16string::npos) return;
  }
  text.Append(u".");
  dotAdded = true;
}

}  // namespace parlan
