#!/usr/bin/env python3
"""Whether questions rise: native English against eSpeak NG reading the same texts.

Each line of bench/questions.txt and bench/exclamations.txt is spoken by the real engines into
a WAV file (`parlan -w`), once in the native English mode and once in the eSpeak NG voice that
the native language speaks through; build/bench/wav_pitch then compares the pitch of the last
voiced stretch with the median pitch of the phrase. A phrase rises when it ends more than half
a semitone above its median, and falls when it ends more than half a semitone below it.

Usage: bench/question-pitch.py [--build DIR] [--native MODE] [--espeak MODE] [--keep DIR]
Prints one line per text (the end minus the median in semitones, native then eSpeak NG, and
the native phonemes) and the counts side by side.
"""

import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RISE = 0.5  # semitones


def lines(name):
    with open(os.path.join(HERE, name), encoding="utf-8") as f:
        return [line.strip() for line in f if line.strip() and not line.startswith("#")]


def speak(parlan, mode, text, wav):
    subprocess.run([parlan, "-v", mode, "-w", wav, text], check=True,
                   stdout=subprocess.DEVNULL)


def semitones(wav_pitch, wavs):
    out = subprocess.run([wav_pitch, *wavs], check=True, capture_output=True, text=True).stdout
    return {line.split()[0]: float(line.split()[3]) for line in out.splitlines()}


def phonemes(parlan, mode, text):
    out = subprocess.run([parlan, "phonemes", "-v", mode, text], check=True,
                         capture_output=True, text=True).stdout
    return " ".join(out.split())


def kind(st):
    return "rises" if st > RISE else "falls" if st < -RISE else "level"


def measure(args, folder, name):
    texts = lines(name)
    wavs = []
    for i, text in enumerate(texts):
        for side, mode in (("n", args.native), ("e", args.espeak)):
            wav = os.path.join(folder, f"{name.split('.')[0]}-{i + 1:02d}-{side}.wav")
            speak(args.parlan, mode, text, wav)
            wavs.append(wav)
    st = semitones(args.wav_pitch, wavs)
    rows = []
    for i, text in enumerate(texts):
        n, e = st[wavs[2 * i]], st[wavs[2 * i + 1]]
        rows.append((text, n, e, phonemes(args.parlan, args.native, text)))
    return rows


def report(title, rows, counted):
    print(f"{title}: end minus median pitch, semitones (native, eSpeak NG)")
    for text, n, e, ph in rows:
        print(f"  {n:+6.2f} {e:+6.2f}  {text:42} {ph}")
    native = sum(kind(n) == counted for _, n, _, _ in rows)
    espeak = sum(kind(e) == counted for _, _, e, _ in rows)
    print(f"  {counted}: native {native}/{len(rows)}, eSpeak NG {espeak}/{len(rows)}")
    return native, espeak


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(HERE, "..", "build"))
    ap.add_argument("--native", default="1", help="native English mode (number or name)")
    ap.add_argument("--espeak", default="English (America)  (SAPI 4)",
                    help="the eSpeak NG mode that native English speaks through")
    ap.add_argument("--keep", help="write the WAV files into this folder and keep them")
    args = ap.parse_args()
    args.parlan = os.path.join(args.build, "tools", "parlan")
    args.wav_pitch = os.path.join(args.build, "bench", "wav_pitch")
    for tool in (args.parlan, args.wav_pitch):
        if not os.access(tool, os.X_OK):
            sys.exit(f"question-pitch: {tool} is not built")
    with tempfile.TemporaryDirectory() as scratch:
        folder = args.keep or scratch
        os.makedirs(folder, exist_ok=True)
        qn, qe = report("Questions", measure(args, folder, "questions.txt"), "rises")
        xn, xe = report("Exclamations", measure(args, folder, "exclamations.txt"), "falls")
    print(f"Questions that rise: native {qn}, eSpeak NG {qe}; "
          f"exclamations that fall: native {xn}, eSpeak NG {xe}")
    return 0 if qn >= qe else 1


if __name__ == "__main__":
    sys.exit(main())
