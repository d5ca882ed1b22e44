// Inputs that once crashed, hung or silenced the control, kept in tests/data/regressions: each
// is spoken through the shipped English language and through an eSpeak NG voice.
#include <gtest/gtest.h>

#include <algorithm>

#include "ToolRunner.h"

#if PARLAN_HAVE_ESPEAK

namespace parlan::testkit {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> RegressionInputs() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(PARLAN_TEST_DATA) / "regressions"))
    if (entry.path().extension() == ".txt") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class RegressionInput : public ::testing::TestWithParam<std::string> {};

TEST_P(RegressionInput, IsSpokenWithoutCrashing) {
  const fs::path input = fs::path(PARLAN_TEST_DATA) / "regressions" / GetParam();
  const std::string languages =
      (fs::path(PARLAN_TEST_DATA).parent_path().parent_path() / "languages").string();
  TempDir work;
  for (const char* mode : {"English Female (Parlan)", "English (America) (SAPI 5)"}) {
    const std::string out = (work.Path() / "out.wav").string();
    ToolResult r = RunTool({"speak", "--root", languages, "-v", mode, "-w", out, "--timeout", "120",
                            "-f", input.string()});
    EXPECT_EQ(r.Status, 0) << mode << ": " << r.Err;
    EXPECT_TRUE(ReadBytes(out).starts_with("RIFF")) << mode;
  }
}

INSTANTIATE_TEST_SUITE_P(Folder, RegressionInput, ::testing::ValuesIn(RegressionInputs()),
                         [](const auto& info) {
                           std::string name = info.param.substr(0, info.param.size() - 4);
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace parlan::testkit

#endif
