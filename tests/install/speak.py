"""A Python host: speaks TEXT in MODE into WAV through the installed parlan package.

    speak.py MODE TEXT WAV"""
import sys

import parlan

mode, text, wav = sys.argv[1:4]
words = []
with parlan.Parlan(audio_file=wav) as voice:
    print("root", voice.install_root)
    print("modes", voice.modes)
    if not voice.select(mode):
        sys.exit(f"speak.py: no mode {mode}")
    voice.on_word = lambda word: words.append(word.byte_offset)
    if not voice.speak(text) or not voice.wait(60):
        sys.exit(f"speak.py: failed: {voice.last_error}")
print("words", words)
