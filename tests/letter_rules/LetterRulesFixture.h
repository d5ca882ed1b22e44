// A rule-table environment for the letter-rule tests: tables, last error, debug windows and the
// context that ties them, plus rule files written into a temporary folder.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "letter_rules/LetterRules.h"
#include "strings/Unicode.h"
#include "testkit/TestKit.h"

namespace parlan::testing {

class LetterRulesTest : public ::testing::Test {
 protected:
  LetterRuleTables tables;
  ErrorRecord error;
  DebugWindows debug;
  LetterRuleContext ctx{tables, error, debug};
  testkit::TempDir dir;

  // Writes the lines as a rule file and returns its path.
  std::filesystem::path WriteRules(const std::vector<std::string>& lines,
                                   const std::string& name = "Testr.ttg") {
    auto file = dir.Path() / name;
    testkit::WriteUtf16Lines(file, lines);
    return file;
  }

  // A whole rule file: language line, the classes, the rules and "END".
  static std::vector<std::string> RuleFile(const std::vector<std::string>& classes,
                                           const std::vector<std::string>& rules) {
    std::vector<std::string> lines{"LANGUAGE=Test", "WILD CARDS"};
    lines.insert(lines.end(), classes.begin(), classes.end());
    lines.push_back("RULES");
    lines.insert(lines.end(), rules.begin(), rules.end());
    lines.push_back("END");
    return lines;
  }

  // Loads classes and rules; the test fails when the load does.
  void Load(const std::vector<std::string>& classes, const std::vector<std::string>& rules) {
    LoadLetterRules(ctx, WriteRules(RuleFile(classes, rules)));
    ASSERT_TRUE(tables.RulesLoadOk);
    ASSERT_TRUE(tables.RulesLoaded);
  }

  std::string Convert(const std::string& word) { return ToUtf8(ConvertWord(ctx, U16(word))); }

  std::string Box(const char* name) { return ToUtf8(debug.Box(debug.Advanced(), name).Text); }
  std::string RuleSetBox() { return Box("txtRuleSet"); }
  std::string RulesAppliedBox() { return Box("txtRulesAppld"); }

  // Lines of a box, without their CR LF.
  std::vector<std::string> BoxLines(const char* name) {
    std::vector<std::string> lines;
    std::string text = Box(name);
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }

  std::string Rule(int i) const {
    const LetterRule& r = tables.LetterRules.at(static_cast<size_t>(i) - 1);
    return ToUtf8(r.LeftContext) + (r.LeftSense ? "" : "(not)") + "|" + ToUtf8(r.Focus) + "|" +
           ToUtf8(r.RightContext) + (r.RightSense ? "" : "(not)") + "|" + ToUtf8(r.Result);
  }
  std::string WildCard(int c) const {
    return ToUtf8(tables.WildCards.at(static_cast<size_t>(c) - 1));
  }
  std::string GroupLetters() const { return ToUtf8(tables.GroupLetters); }
};

// The small file a language developer starts from: two classes and three rules.
inline std::vector<std::string> SmallRuleFile() {
  return {"LANGUAGE=Demo", "WILD CARDS", "'vowels", "1 a,e,i,o,u", "2 b,c,d",
          "RULES",         "_[c]1=k",    "[c]=s",   "[a]=a",       "END"};
}

}  // namespace parlan::testing
