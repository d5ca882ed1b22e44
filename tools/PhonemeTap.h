// An engine factory that passes every call on to the engines of another factory and keeps a copy
// of the phoneme strings a native Speak hands over: the text of a phoneme Speak (DISPID 42 with
// code 2) on the direct text-to-speech object of native modes, and the symbols of the
// pronunciation element a voice is given. It also tells a listener the text of every utterance
// any of the engines is given, as it is given, before the engine can report on it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "parlan/Engines.h"

namespace parlan::cli {

// The sym text of a pronunciation element <pron sym="..."/>; false when the text is not one.
bool PronunciationSymbols(std::u16string_view markup, std::u16string& symbols);

class PhonemeTap : public engines::EngineFactory {
 public:
  explicit PhonemeTap(std::shared_ptr<engines::EngineFactory> inner);
  std::unique_ptr<engines::DirectSS> CreateDirectSS(engines::DirectSSRole role) override;
  std::unique_ptr<engines::Voice> CreateVoice() override;

  using UtteranceListener = std::function<void(const std::u16string& text)>;
  void SetUtteranceListener(UtteranceListener listener);

  // The strings handed over since the last call, in order.
  std::vector<std::u16string> Take();

 private:
  std::shared_ptr<engines::EngineFactory> inner_;
  std::shared_ptr<std::vector<std::u16string>> strings_;
  std::shared_ptr<UtteranceListener> listener_;
};

}  // namespace parlan::cli
