// Turns the front of the remaining text into one prepared phrase: the words of one phrase,
// normalised, with the exception dictionary applied, as "/"-separated tokens.
#pragma once

#include <filesystem>
#include <string>

#include "normalisation/Normalisation.h"
#include "pipeline/Exceptions.h"
#include "strings/RemainingText.h"

namespace parlan {

struct PrepareContext {
  NormContext Norm;
  bool NormRulesOk = false;
  ExceptionTables& Exceptions;
  bool& ExceptRead;
  bool& ExceptOk;
  std::filesystem::path ExceptFile;  // the current language's exception dictionary
};

std::u16string PrepareText(PrepareContext& ctx, RemainingText& text, bool& dotAdded);

}  // namespace parlan
