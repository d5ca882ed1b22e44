// A sound file sink writes a file of the new audio alone, whatever the file held before.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engines/AudioSinks.h"
#include "parlan/EspeakEngines.h"
#include "testkit/TestKit.h"

namespace parlan::engines {
namespace {

struct Before {
  const char* name;
  bool exists;
  size_t oldBytes;  // what the file held
};

class FileSinkStart : public ::testing::TestWithParam<Before> {};

TEST_P(FileSinkStart, HoldsOnlyTheNewAudio) {
  testkit::TempDir dir;
  const std::filesystem::path file = dir.Path() / "speech.wav";
  if (GetParam().exists)
    std::ofstream(file, std::ios::binary) << std::string(GetParam().oldBytes, 'z');
  std::vector<int16_t> samples(1000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(i * 7 - 3000);
  {
    auto failure = std::make_shared<OutputFailure>();
    auto sink = MakeFileSink(file, failure);
    sink->UtteranceQueued();
    sink->Write(samples.data(), samples.size());
    sink->UtteranceDone();
    EXPECT_EQ(failure->Reason(), "");
  }
  SoundFile read;
  ASSERT_TRUE(ReadSoundFile(file, read));
  EXPECT_EQ(read.Samples, samples);
  // A header and the samples: nothing of the old content is left at the end.
  EXPECT_EQ(std::filesystem::file_size(file), 44 + 2 * samples.size());
}

INSTANTIATE_TEST_SUITE_P(Files, FileSinkStart,
                         ::testing::Values(Before{"NoFile", false, 0}, Before{"EmptyFile", true, 0},
                                           Before{"LongerFile", true, 100000},
                                           Before{"ShorterFile", true, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace parlan::engines
