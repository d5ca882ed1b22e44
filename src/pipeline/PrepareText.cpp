// Placeholder until normalisation arrives: the whole remaining text is one phrase.
#include "pipeline/PrepareText.h"

namespace parlan {

std::u16string PrepareText(PrepareContext& ctx, RemainingText& text, bool& /*dotAdded*/) {
  std::u16string chunk = text.Str();
  text.Clear();
  if (!ctx.Norm.NeverDebug) ctx.Norm.Debug.AdvHandleTextNorm(chunk);
  return chunk;
}

}  // namespace parlan
