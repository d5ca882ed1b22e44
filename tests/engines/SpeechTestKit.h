// What the engine tests measure in rendered speech (levels, durations, fundamental frequency),
// recorders of engine notifications, and waiting for an engine to fall idle.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "parlan/Engines.h"

namespace parlan::speechtest {

inline constexpr int kRate = 22050;

inline double Rms(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
  to = std::min(to, s.size());
  if (from >= to) return 0;
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
  return std::sqrt(sum / double(to - from));
}

// Frames of 20 ms whose level is above silence.
inline std::vector<bool> LoudFrames(const std::vector<int16_t>& s, double threshold = 300) {
  std::vector<bool> loud;
  const size_t frame = kRate / 50;
  for (size_t at = 0; at + frame <= s.size(); at += frame)
    loud.push_back(Rms(s, at, at + frame) > threshold);
  return loud;
}

// Seconds from the first to the last frame with speech.
inline double SpokenSeconds(const std::vector<int16_t>& s) {
  const std::vector<bool> loud = LoudFrames(s);
  const auto first = std::find(loud.begin(), loud.end(), true);
  if (first == loud.end()) return 0;
  const auto last = std::find(loud.rbegin(), loud.rend(), true);
  const auto frames = (loud.rend() - last) - (first - loud.begin());
  return double(frames) / 50.0;
}

// Seconds of the longest silence between the first and the last frame with speech.
inline double LongestPauseSeconds(const std::vector<int16_t>& s) {
  const std::vector<bool> loud = LoudFrames(s);
  const auto first = std::find(loud.begin(), loud.end(), true);
  const auto last = std::find(loud.rbegin(), loud.rend(), true).base();
  int longest = 0;
  int run = 0;
  for (auto it = first; it < last; ++it) {
    run = *it ? 0 : run + 1;
    longest = std::max(longest, run);
  }
  return double(longest) / 50.0;
}

// Fundamental frequency in Hz of each voiced frame, in order, by normalised autocorrelation.
inline std::vector<double> F0Track(const std::vector<int16_t>& s) {
  const size_t frame = 1024, hop = 512;
  const size_t minLag = kRate / 500, maxLag = kRate / 60;
  double loudest = 0;
  for (size_t at = 0; at + frame <= s.size(); at += hop)
    loudest = std::max(loudest, Rms(s, at, at + frame));
  std::vector<double> f0s;
  for (size_t at = 0; at + frame + maxLag <= s.size(); at += hop) {
    if (Rms(s, at, at + frame) < 0.3 * loudest) continue;
    double best = 0;
    size_t bestLag = 0;
    for (size_t lag = minLag; lag <= maxLag; ++lag) {
      double xy = 0, xx = 0, yy = 0;
      for (size_t i = 0; i < frame; ++i) {
        const double x = s[at + i], y = s[at + i + lag];
        xy += x * y;
        xx += x * x;
        yy += y * y;
      }
      const double r = xy / std::sqrt(xx * yy + 1e-9);
      if (r > best) {
        best = r;
        bestLag = lag;
      }
    }
    if (best > 0.6) f0s.push_back(double(kRate) / double(bestLag));
  }
  return f0s;
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + ptrdiff_t(v.size() / 2), v.end());
  return v[v.size() / 2];
}

// Median fundamental frequency in Hz over the voiced frames.
inline double MedianF0(const std::vector<int16_t>& s) {
  return Median(F0Track(s));
}

// Median fundamental frequency of the last `frames` voiced frames: where a question rises and
// a statement falls.
inline double EndF0(const std::vector<int16_t>& s, size_t frames = 6) {
  std::vector<double> track = F0Track(s);
  if (track.size() > frames) track.erase(track.begin(), track.end() - ptrdiff_t(frames));
  return Median(track);
}

// Pumps the engine until it is idle; false when it still is not after `timeout`.
template <class Engine>
bool WaitIdle(Engine& engine, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    engine.PumpEvents();
    if (!engine.Busy()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

struct VoiceEvent {
  char Kind;  // 'S' start, 'W' word, 'E' end
  int32_t Stream;
  int32_t Position;
  int32_t Length;
};

class VoiceRecorder : public engines::VoiceEvents {
 public:
  void StartStream(int32_t stream, const Variant&) override {
    Events.push_back({'S', stream, 0, 0});
  }
  void EndStream(int32_t stream, const Variant&) override { Events.push_back({'E', stream, 0, 0}); }
  void Word(int32_t stream, const Variant&, int32_t position, int32_t length) override {
    Events.push_back({'W', stream, position, length});
  }
  std::string Kinds() const {
    std::string out;
    for (const auto& e : Events) out += e.Kind;
    return out;
  }
  // The words the notifications point at (1-based positions) in `text`.
  std::vector<std::u16string> Words(const std::u16string& text) const {
    std::vector<std::u16string> out;
    for (const auto& e : Events)
      if (e.Kind == 'W') out.push_back(text.substr(size_t(e.Position - 1), size_t(e.Length)));
    return out;
  }
  std::vector<VoiceEvent> Events;
};

struct DirectEvent {
  int Number;  // 11 audio started, 12 audio stopped, 15 word position
  int64_t Clock;
  int32_t ByteOffset;
};

class DirectRecorder : public engines::DirectSSEvents {
 public:
  void AudioStart(int32_t hi, int32_t lo) override { Events.push_back({11, Clock(hi, lo), 0}); }
  void AudioStop(int32_t hi, int32_t lo) override { Events.push_back({12, Clock(hi, lo), 0}); }
  void WordPosition(int32_t hi, int32_t lo, int32_t offset) override {
    Events.push_back({15, Clock(hi, lo), offset});
  }
  std::vector<int> Numbers() const {
    std::vector<int> out;
    for (const auto& e : Events) out.push_back(e.Number);
    return out;
  }
  // The words the word notifications point at (byte offsets of UTF-16 text) in `text`.
  std::vector<std::u16string> Words(const std::u16string& text) const;
  std::vector<DirectEvent> Events;

 private:
  static int64_t Clock(int32_t hi, int32_t lo) {
    return int64_t(uint64_t(uint32_t(hi)) << 32 | uint32_t(lo));
  }
};

// The word of `text` (letters and digits, with inner apostrophes) starting at `start`.
inline std::u16string WordAt(const std::u16string& text, size_t start) {
  size_t end = start;
  while (end < text.size() && text[end] != u' ' && text[end] != u',' && text[end] != u'.' &&
         text[end] != u'!' && text[end] != u'?' && text[end] != u'#' && text[end] != u'*')
    ++end;
  return text.substr(start, end - start);
}

inline std::vector<std::u16string> DirectRecorder::Words(const std::u16string& text) const {
  std::vector<std::u16string> out;
  for (const auto& e : Events)
    if (e.Number == 15) out.push_back(WordAt(text, size_t(e.ByteOffset / 2)));
  return out;
}

}  // namespace parlan::speechtest
