"""Exits non-zero unless WAV holds at least SECONDS of audio that is not silence."""
import array
import sys
import wave

path, seconds = sys.argv[1], float(sys.argv[2])
with wave.open(path) as w:
    frames = w.getnframes()
    rate = w.getframerate()
    samples = array.array("h", w.readframes(frames))
loud = max((abs(s) for s in samples), default=0)
print(f"{path}: {frames / rate:.2f} s, peak {loud}")
if frames < seconds * rate or loud < 1000:
    sys.exit(f"{path}: expected at least {seconds} s of speech")
