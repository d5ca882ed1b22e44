// Normalisation tables built in the test, with a debug window model that collects the log.
#pragma once

#include <string>
#include <vector>

#include "debug_ui/DebugWindows.h"
#include "normalisation/Normalisation.h"

namespace parlan::testkit {

struct NormFixture {
  NormalisationTables Tables;
  DebugWindows Debug;
  NormContext Ctx{Tables, Debug, false};

  NormFixture() {
    Tables.PhraseEndChars = u"!?;:";
    Tables.DecimalPoint = u".";
    Tables.DotWord = u"dot";
    Tables.DecimalPointWord = u"point";
    const char16_t* words[] = {u"zero", u"one", u"two",   u"three", u"four",
                               u"five", u"six", u"seven", u"eight", u"nine"};
    for (size_t i = 0; i < 10; ++i) {
      Tables.NumberWords[i] = words[i];
      Tables.Digits.DigitStrings[i] = std::u16string(1, static_cast<char16_t>(u'0' + i));
    }
  }

  void AddAlways(std::u16string key, std::u16string replacement) {
    Tables.AlwaysKeys.push_back(std::move(key));
    Tables.AlwaysReplacements.push_back(std::move(replacement));
    Tables.AlwaysCount = static_cast<int16_t>(Tables.AlwaysKeys.size());
  }

  // Lines of a box, split at CR LF.
  std::vector<std::u16string> Lines(const char* box) const {
    std::vector<std::u16string> lines;
    const DebugControl* ctl = Debug.Advanced().FindControl(box);
    if (!ctl) return lines;
    const std::u16string& text = ctl->Text;
    size_t start = 0;
    for (size_t end = text.find(u"\r\n"); end != std::u16string::npos;
         end = text.find(u"\r\n", start)) {
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }
  std::vector<std::u16string> Log() const { return Lines("txtNormAppld"); }
};

}  // namespace parlan::testkit
