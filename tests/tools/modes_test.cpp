// `parlan modes` on a temporary install root: the native modes come first, numbered from 1,
// followed by the engines' modes, each with the kind its display name tells.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "TinyLanguage.h"
#include "ToolRunner.h"
#include "parlan/Parlana.h"
#include "strings/Unicode.h"

namespace parlan::testkit {
namespace {

class ModesCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    LanguageFiles both = TinyLanguage();
    WriteLanguage(root.Path(), "Tiny", both);
    LanguageFiles female = TinyLanguage();
    female.Config = {"GENDER=Female", "SAPINO=5", "FEMALE=English (America) Female"};
    WriteLanguage(root.Path(), "Other", female);
    LanguageFiles none = TinyLanguage();
    none.Config = {"SAPINO=4"};  // no GENDER: no mode
    WriteLanguage(root.Path(), "Silent", none);
  }
  TempDir root;
};

TEST_F(ModesCommand, JsonRecordsMatchTheControlsModeTable) {
  ToolResult r = RunTool({"modes", "--json", "--root", root.Path()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto lines = Lines(r.Out);
  // The control the tool hosts sees the same table as one created here with the same engines.
  ResetThreadState();
  Parlana control(ParlanaSettings{root.Path(), nullptr});
  ASSERT_EQ(static_cast<int32_t>(lines.size()), control.CountEngines());
  int native = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    auto record = nlohmann::json::parse(lines[i]);
    const std::string name = record["name"];
    EXPECT_EQ(record["number"], static_cast<int>(i + 1));
    EXPECT_EQ(name, ToUtf8(control.ModeName(static_cast<int16_t>(i + 1))));
    const std::string kind = record["kind"];
    if (name.ends_with(" (Parlan)")) {
      EXPECT_EQ(kind, "native");
      EXPECT_EQ(native++, static_cast<int>(i)) << "native modes come first";
    } else if (name.ends_with("  (SAPI 4)")) {
      EXPECT_EQ(kind, "SAPI 4");
    } else {
      EXPECT_TRUE(name.ends_with(" (SAPI 5)")) << name;
      EXPECT_EQ(kind, "SAPI 5");
    }
  }
  EXPECT_EQ(native, 3);  // Tiny Male, Tiny Female, Other Female; Silent offers none
  ResetThreadState();
}

TEST_F(ModesCommand, TextListsNumberKindAndName) {
  ToolResult r = RunTool({"modes", "--root", root.Path()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  int natives = 0;
  for (const std::string& line : Lines(r.Out)) {
    if (line.find("native") == std::string::npos) continue;
    ++natives;
    EXPECT_TRUE(line.ends_with(" (Parlan)")) << line;
    EXPECT_EQ(std::stoi(line), natives) << line;
  }
  EXPECT_EQ(natives, 3);
}

TEST_F(ModesCommand, EmptyRootListsOnlyTheEngines) {
  TempDir empty;
  ToolResult r = RunTool({"modes", "--json", "--root", empty.Path()});
  ASSERT_EQ(r.Status, 0) << r.Err;
  for (const std::string& line : Lines(r.Out))
    EXPECT_NE(nlohmann::json::parse(line)["kind"], "native") << line;
}

}  // namespace
}  // namespace parlan::testkit
