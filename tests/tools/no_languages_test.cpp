// A native mode asked for where the install root holds no language: the tool says so instead of
// speaking with another voice or printing nothing.
#include <gtest/gtest.h>

#include "TinyLanguage.h"
#include "ToolRunner.h"

namespace parlan::testkit {
namespace {

struct NativeRequest {
  const char* Name;
  std::vector<std::string> Args;  // after --root ROOT
};

[[maybe_unused]] void PrintTo(const NativeRequest& c, std::ostream* os) {
  *os << c.Name;
}

class NoNativeLanguages : public ::testing::TestWithParam<NativeRequest> {};

TEST_P(NoNativeLanguages, SaysSoAndFails) {
  TempDir empty;
  std::vector<std::string> args{"--root", empty.Path().string()};
  for (const auto& a : GetParam().Args) args.push_back(a);
  ToolResult r = RunTool(args);
  EXPECT_NE(r.Status, 0) << r.Out;
  EXPECT_NE(r.Err.find("no native languages under " + empty.Path().string()), std::string::npos)
      << r.Err;
  EXPECT_EQ(r.Out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, NoNativeLanguages,
    ::testing::Values(NativeRequest{"speak_native_mode_by_name",
                                    {"speak", "-q", "-v", "English Female (Parlan)", "Hello"}},
                      NativeRequest{"speak_printing_phonemes", {"speak", "-q", "-x", "Hello"}},
                      NativeRequest{"phonemes", {"phonemes", "Hello"}},
                      NativeRequest{"trace", {"trace", "Hello"}}),
    [](const auto& info) { return std::string(info.param.Name); });

// With a language under the root, the same requests get past the check.
TEST(NativeLanguagesPresent, PhonemesAreSpoken) {
  TempDir root;
  WriteLanguage(root.Path(), "Tiny", TinyLanguage());
  ToolResult r = RunTool({"--root", root.Path().string(), "phonemes", "Hello"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err.find("no native languages"), std::string::npos) << r.Err;
}

}  // namespace
}  // namespace parlan::testkit
