// The temporary sound file of a speak command: it replaces the target only when committed, and
// is gone once the command gives up on it, however large it grew.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AudioTarget.h"
#include "testkit/TestKit.h"

namespace parlan::cli {
namespace {

std::vector<std::string> Names(const std::filesystem::path& folder) {
  std::vector<std::string> out;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    out.push_back(entry.path().filename().string());
  return out;
}

void Fill(const std::filesystem::path& file, std::uintmax_t bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  const std::string block(1 << 20, 'x');
  for (std::uintmax_t done = 0; done < bytes; done += block.size())
    out.write(block.data(),
              static_cast<std::streamsize>(std::min<std::uintmax_t>(block.size(), bytes - done)));
}

class AbandonedAudio : public ::testing::TestWithParam<std::uintmax_t> {};

// Small files are removed on the spot, large ones by a helper process: either way no name is
// left by the time the target is gone, and an old target is kept as it was.
TEST_P(AbandonedAudio, LeavesNothingBehindAndKeepsTheOldTarget) {
  testkit::TempDir dir;
  const std::filesystem::path target = dir.Path() / "out.wav";
  Fill(target, 10);
  {
    AudioTarget audio(target);
    Fill(audio.Temporary(), GetParam());
  }
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.wav"});
  EXPECT_EQ(std::filesystem::file_size(target), 10u);
}

INSTANTIATE_TEST_SUITE_P(Sizes, AbandonedAudio,
                         ::testing::Values(0, 4096, std::uintmax_t{40} << 20));

TEST(CommittedAudio, ReplacesTheTarget) {
  testkit::TempDir dir;
  const std::filesystem::path target = dir.Path() / "out.wav";
  Fill(target, 10);
  {
    AudioTarget audio(target);
    Fill(audio.Temporary(), 5000);
    audio.Commit();
  }
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.wav"});
  EXPECT_EQ(std::filesystem::file_size(target), 5000u);
}

}  // namespace
}  // namespace parlan::cli
