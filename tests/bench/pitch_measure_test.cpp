// The pitch measure of the question check: synthetic voiced sound of known pitch, written as the
// engines write their WAV files, must be measured rising, falling or level.
#include "bench/PitchMeasure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "testkit/TestKit.h"

namespace parlan::bench {
namespace {

constexpr int kRate = 22050;

// A voiced stretch whose pitch glides from `from` to `to` Hz: five harmonics with the second
// loudest, as in a vowel, so that an estimate that takes the octave is caught.
void Voiced(std::vector<float>& out, double seconds, double from, double to) {
  double phase = 0;
  const auto n = static_cast<size_t>(seconds * kRate);
  for (size_t k = 0; k < n; ++k) {
    const double f = from + (to - from) * static_cast<double>(k) / static_cast<double>(n);
    phase += 2 * std::numbers::pi * f / kRate;
    double v = 0;
    for (int h = 1; h <= 5; ++h) v += (h == 2 ? 0.5 : 0.2 / h) * std::sin(h * phase);
    out.push_back(static_cast<float>(v * 0.5));
  }
}

// The release of a final stop: a burst of noise, loud but without pitch.
void Burst(std::vector<float>& out, double seconds) {
  uint32_t state = 12345;
  for (size_t k = 0; k < static_cast<size_t>(seconds * kRate); ++k) {
    state = state * 1664525u + 1013904223u;
    out.push_back(static_cast<float>(state >> 8) / float(1 << 24) - 0.5f);
  }
}

void Silence(std::vector<float>& out, double seconds) {
  out.insert(out.end(), static_cast<size_t>(seconds * kRate), 0.0f);
}

void Le(std::ofstream& f, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) f.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// 16-bit mono PCM, with a chunk before the samples that the reader must skip.
void WriteWav(const std::string& path, const std::vector<float>& samples) {
  std::ofstream f(path, std::ios::binary);
  const auto data = static_cast<uint32_t>(samples.size() * 2);
  f << "RIFF";
  Le(f, 36 + 12 + data, 4);
  f << "WAVEfmt ";
  for (auto [value, bytes] : {std::pair{16u, 4},
                              {1u, 2},
                              {1u, 2},
                              {uint32_t(kRate), 4},
                              {uint32_t(kRate * 2), 4},
                              {2u, 2},
                              {16u, 2}})
    Le(f, value, bytes);
  f << "LIST";
  Le(f, 4, 4);
  f << "INFO";
  f << "data";
  Le(f, data, 4);
  for (float s : samples) Le(f, static_cast<uint32_t>(static_cast<int16_t>(s * 32767)), 2);
}

struct Contour {
  const char* Name;
  double EndFrom, EndTo;  // the last stretch's glide; the phrase before it stays at 110 Hz
  double Least, Most;     // the semitones expected
};

[[maybe_unused]] void PrintTo(const Contour& c, std::ostream* os) {
  *os << c.Name;
}

class PitchMeasure : public testing::TestWithParam<Contour> {};

TEST_P(PitchMeasure, EndAgainstTheMedian) {
  const Contour& c = GetParam();
  std::vector<float> samples;
  Silence(samples, 0.1);
  Voiced(samples, 0.6, 110, 110);
  Silence(samples, 0.08);
  Voiced(samples, 0.3, c.EndFrom, c.EndTo);
  Silence(samples, 0.06);  // a stop's closure, then its release
  Burst(samples, 0.03);
  Silence(samples, 0.2);
  testkit::TempDir dir;
  const std::string path = (dir.Path() / "phrase.wav").string();
  WriteWav(path, samples);
  const std::optional<Audio> audio = ReadWav(path);
  ASSERT_TRUE(audio);
  EXPECT_EQ(audio->Rate, kRate);
  ASSERT_EQ(audio->Samples.size(), samples.size());
  const std::optional<Measure> m = Measured(PitchTrack(*audio));
  ASSERT_TRUE(m);
  EXPECT_NEAR(m->MedianHz, 110, 4);
  EXPECT_GE(EndSemitones(*m), c.Least);
  EXPECT_LE(EndSemitones(*m), c.Most);
}

INSTANTIATE_TEST_SUITE_P(Contours, PitchMeasure,
                         testing::Values(Contour{"Rise", 110, 150, 4, 6},
                                         Contour{"Fall", 110, 80, -6, -4},
                                         Contour{"Level", 110, 110, -0.5, 0.5}),
                         [](const auto& i) { return std::string(i.param.Name); });

TEST(PitchMeasureInput, SilenceAndOtherFilesHaveNoMeasure) {
  testkit::TempDir dir;
  const std::string silent = (dir.Path() / "silent.wav").string();
  WriteWav(silent, std::vector<float>(kRate / 2, 0.0f));
  const std::optional<Audio> audio = ReadWav(silent);
  ASSERT_TRUE(audio);
  EXPECT_FALSE(Measured(PitchTrack(*audio)));
  const std::string text = (dir.Path() / "text.wav").string();
  std::ofstream(text) << "not a wave file";
  EXPECT_FALSE(ReadWav(text));
  EXPECT_FALSE(ReadWav((dir.Path() / "missing.wav").string()));
}

}  // namespace
}  // namespace parlan::bench
