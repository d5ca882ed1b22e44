#!/usr/bin/env python3
"""Whether questions rise: native English against eSpeak NG reading the same texts.

Each line of bench/questions.txt, bench/exclamations.txt and bench/statements.txt (which show
that the measure tells a fall from a rise) is spoken by the real engines into
a WAV file (`parlan -w`): in the native English mode through the direct engine, as shipped; in
the same mode through the voice object (a copy of the language whose configuration says
SAPINO=5); and in the eSpeak NG voice that the native language speaks through.
build/bench/wav_pitch then compares the pitch of the last voiced stretch with the median pitch
of the phrase. A phrase rises when it ends more than half
a semitone above its median, and falls when it ends more than half a semitone below it.

Usage: bench/question-pitch.py [--build DIR] [--native MODE] [--espeak MODE] [--keep DIR]
Prints one line per text (the end minus the median in semitones: native, native through the
voice object, eSpeak NG; then the native phonemes) and the counts side by side.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RISE = 0.5  # semitones


def lines(name):
    with open(os.path.join(HERE, name), encoding="utf-8") as f:
        return [line.strip() for line in f if line.strip() and not line.startswith("#")]


def speak(parlan, root, mode, text, wav):
    subprocess.run([parlan, *(["--root", root] if root else []), "-v", mode, "-w", wav, text],
                   check=True, stdout=subprocess.DEVNULL)


def voice_object_root(folder):
    """A root holding a copy of native English that speaks through the voice object."""
    root = os.path.join(folder, "voice-object")
    language = os.path.join(root, "Parlan English")
    shutil.copytree(os.path.join(HERE, "..", "languages", "Parlan English"), language,
                    dirs_exist_ok=True)
    config = os.path.join(language, "Englishc.ttg")
    with open(config, "rb") as f:
        text = f.read()
    assert b"SAPINO=4" in text, "the shipped English no longer speaks through the direct engine"
    with open(config, "wb") as f:
        f.write(text.replace(b"SAPINO=4", b"SAPINO=5"))
    return root


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
    sides = (("n", None, args.native), ("v", args.voice_root, args.native),
             ("e", None, args.espeak))
    wavs = []
    for i, text in enumerate(texts):
        for side, root, mode in sides:
            wav = os.path.join(folder, f"{name.split('.')[0]}-{i + 1:02d}-{side}.wav")
            speak(args.parlan, root, mode, text, wav)
            wavs.append(wav)
    st = semitones(args.wav_pitch, wavs)
    return [(text, *(st[w] for w in wavs[3 * i:3 * i + 3]), phonemes(args.parlan, args.native, text))
            for i, text in enumerate(texts)]


def report(title, rows, counted):
    print(f"{title}: end minus median pitch, semitones "
          "(native, native through the voice object, eSpeak NG)")
    for text, n, v, e, ph in rows:
        print(f"  {n:+6.2f} {v:+6.2f} {e:+6.2f}  {text:42} {ph}")
    native, voice, espeak = (sum(kind(r[k]) == counted for r in rows) for k in (1, 2, 3))
    print(f"  {counted}: native {native}/{len(rows)}, through the voice object {voice}/{len(rows)}, "
          f"eSpeak NG {espeak}/{len(rows)}")
    return native, voice, espeak


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
        args.voice_root = voice_object_root(folder)
        qn, qv, qe = report("Questions", measure(args, folder, "questions.txt"), "rises")
        xn, xv, xe = report("Exclamations", measure(args, folder, "exclamations.txt"), "falls")
        report("Statements", measure(args, folder, "statements.txt"), "falls")
    print(f"Questions that rise: native {qn} (voice object {qv}), eSpeak NG {qe}; "
          f"exclamations that fall: native {xn} (voice object {xv}), eSpeak NG {xe}")
    return 0 if min(qn, qv) >= qe else 1


if __name__ == "__main__":
    sys.exit(main())
