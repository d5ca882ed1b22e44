// A crude measure of whether a spoken phrase ends high or low (PitchMeasure.h). A check, not a
// speed benchmark; the driver bench/question-pitch.py speaks the texts with the real engines
// and hands the WAVs here.
//
// Usage: wav_pitch FILE.wav...   prints per file: median Hz, end Hz, end minus median in
// semitones (a blank-separated line, the file name first).
#include <cstdio>

#include "PitchMeasure.h"

using namespace parlan::bench;

int main(int argc, char** argv) {
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const std::optional<Audio> audio = ReadWav(argv[i]);
    const std::optional<Measure> m = audio ? Measured(PitchTrack(*audio)) : std::nullopt;
    if (!m) {
      std::fprintf(stderr, "wav_pitch: %s: no 16-bit PCM speech with voiced sound\n", argv[i]);
      status = 1;
      continue;
    }
    std::printf("%s %.1f %.1f %+.2f\n", argv[i], m->MedianHz, m->EndHz, EndSemitones(*m));
  }
  return status;
}
