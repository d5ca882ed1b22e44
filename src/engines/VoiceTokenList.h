// A list of voice tokens held in memory: what both voice engines hand out from GetVoices.
#pragma once

#include <memory>
#include <vector>

#include "parlan/Engines.h"

namespace parlan::engines {

class VoiceTokenList : public VoiceTokens {
 public:
  explicit VoiceTokenList(std::vector<std::shared_ptr<VoiceToken>> tokens)
      : tokens_(std::move(tokens)) {}
  int32_t Count() override { return static_cast<int32_t>(tokens_.size()); }
  bool Item(int32_t index, std::shared_ptr<VoiceToken>& token) override {
    if (index < 0 || index >= Count()) return false;
    token = tokens_[static_cast<size_t>(index)];
    return true;
  }

 private:
  std::vector<std::shared_ptr<VoiceToken>> tokens_;
};

}  // namespace parlan::engines
