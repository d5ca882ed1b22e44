// The pitch measure of bench/wav_pitch.cpp: whether a spoken phrase ends high or low, the pitch
// of its last voiced stretch against the median pitch of the whole phrase.
//
// Pitch is estimated every 10 ms over 40 ms windows by normalised autocorrelation (60 to 400 Hz);
// a window is voiced when it holds at least a tenth of the loudest window's energy and its best
// lag correlates above 0.6. The first lag within 10 % of the best is taken, which keeps the
// estimate off the octaves below. The end pitch is the median of the last 4 voiced windows
// (40 ms) of the last stretch of at least 3 voiced windows.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace parlan::bench {

struct Audio {
  int Rate = 0;
  std::vector<float> Samples;
};

inline uint32_t Le(const unsigned char* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// 16-bit PCM WAV, mono (a second channel is ignored).
inline std::optional<Audio> ReadWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF") return std::nullopt;
  Audio a;
  int channels = 1, bits = 0;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string id(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
    const size_t size = Le(&b[at + 4], 4);
    const size_t body = at + 8;
    if (body + size > b.size() && id != "data") return std::nullopt;
    if (id == "fmt " && size >= 16) {
      channels = static_cast<int>(Le(&b[body + 2], 2));
      a.Rate = static_cast<int>(Le(&b[body + 4], 4));
      bits = static_cast<int>(Le(&b[body + 14], 2));
    } else if (id == "data") {
      if (bits != 16 || channels < 1) return std::nullopt;
      const size_t end = std::min(b.size(), body + size);
      const size_t frame = 2 * static_cast<size_t>(channels);
      for (size_t k = body; k + frame <= end; k += frame)
        a.Samples.push_back(static_cast<int16_t>(Le(&b[k], 2)) / 32768.0f);
      return a.Rate > 0 ? std::optional<Audio>(a) : std::nullopt;
    }
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

// Pitch of each 10 ms step, 0 where unvoiced.
inline std::vector<double> PitchTrack(const Audio& a) {
  const size_t window = static_cast<size_t>(a.Rate) * 40 / 1000;
  const size_t hop = static_cast<size_t>(a.Rate) / 100;
  const size_t shortest = static_cast<size_t>(a.Rate / 400),
               longest = static_cast<size_t>(a.Rate / 60);
  std::vector<double> energy, track;
  for (size_t at = 0; at + window + longest <= a.Samples.size(); at += hop) {
    double e = 0;
    for (size_t k = 0; k < window; ++k) e += a.Samples[at + k] * a.Samples[at + k];
    energy.push_back(e);
  }
  const double loudest = energy.empty() ? 0 : *std::max_element(energy.begin(), energy.end());
  for (size_t f = 0; f < energy.size(); ++f) {
    const size_t at = f * hop;
    if (energy[f] < loudest / 10) {
      track.push_back(0);
      continue;
    }
    std::vector<double> r(longest + 1, 0);
    double best = 0;
    for (size_t lag = shortest; lag <= longest; ++lag) {
      double xy = 0, yy = 0;
      for (size_t k = 0; k < window; ++k) {
        xy += a.Samples[at + k] * a.Samples[at + k + lag];
        yy += a.Samples[at + k + lag] * a.Samples[at + k + lag];
      }
      r[lag] = xy / std::sqrt(energy[f] * yy + 1e-12);
      best = std::max(best, r[lag]);
    }
    double pitch = 0;
    if (best > 0.6) {
      for (size_t lag = shortest + 1; lag < longest; ++lag)
        if (r[lag] >= best * 0.9 && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
          pitch = static_cast<double>(a.Rate) / static_cast<double>(lag);
          break;
        }
    }
    track.push_back(pitch);
  }
  return track;
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Measure {
  double MedianHz = 0, EndHz = 0;
};

inline std::optional<Measure> Measured(const std::vector<double>& track) {
  std::vector<double> voiced;
  for (double p : track)
    if (p > 0) voiced.push_back(p);
  size_t end = track.size();
  while (end > 0) {
    while (end > 0 && track[end - 1] == 0) --end;
    size_t start = end;
    while (start > 0 && track[start - 1] > 0) --start;
    if (end - start >= 3) {
      const size_t from = end >= start + 4 ? end - 4 : start;
      std::vector<double> last(track.begin() + static_cast<long>(from),
                               track.begin() + static_cast<long>(end));
      return Measure{Median(voiced), Median(last)};
    }
    end = start;
  }
  return std::nullopt;
}

// The end pitch against the median, in semitones.
inline double EndSemitones(const Measure& m) {
  return 12.0 * std::log2(m.EndHz / m.MedianHz);
}

}  // namespace parlan::bench
