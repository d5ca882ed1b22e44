"""The parlan Python module, from an installed prefix (PYTHONPATH points into it)."""
import os
import shutil
import tempfile
import unittest
import wave

import parlan

NATIVE = "English Female (Parlan)"
SCRATCH = tempfile.mkdtemp(prefix="parlan-python-")


def scratch_wav(name):
    return os.path.join(SCRATCH, name)


class ModesAndSelection(unittest.TestCase):
    def test_installed_root_offers_the_native_modes(self):
        with parlan.Parlan(engines="recording") as voice:
            root = os.path.join(os.environ["PARLAN_PREFIX"], "share", "parlan", "languages")
            self.assertEqual(voice.install_root, root)
            self.assertIn(NATIVE, voice.modes)
            self.assertTrue(voice.select(NATIVE))
            self.assertEqual(voice.modes[voice.get("current_mode") - 1], NATIVE)
            self.assertTrue(voice.select(1))

    def test_unknown_modes_and_roots_answer_false_without_raising(self):
        with tempfile.TemporaryDirectory() as empty, parlan.Parlan(empty, "recording") as voice:
            self.assertEqual(voice.modes, [])
            self.assertFalse(voice.select(NATIVE))
            self.assertFalse(voice.select(1))
            self.assertFalse(voice.speak(b"caf\xc3"))  # not UTF-8
            number, message = voice.last_error
            self.assertIsInstance(number, int)
            self.assertIsInstance(message, str)


class Settings(unittest.TestCase):
    def test_values_outside_the_ranges_are_refused(self):
        with parlan.Parlan(engines="file", audio_file=scratch_wav("settings.wav")) as voice:
            self.assertTrue(voice.select(NATIVE))
            for name in ("pitch", "speed", "volume"):
                low, high = voice.range(name)
                before = voice.get(name)
                self.assertFalse(voice.set(name, high + 1), name)
                self.assertFalse(voice.set(name, low - 1), name)
                self.assertEqual(voice.get(name), before, name)
                self.assertTrue(voice.set(name, low), name)
                self.assertEqual(voice.get(name), low, name)
            self.assertTrue(voice.set_volume(voice.range("volume")[1]))
            self.assertEqual(voice.volume, voice.range("volume")[1])

    def test_settings_survive_a_file(self):
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "settings.txt")
            with parlan.Parlan(engines="recording") as voice:
                self.assertTrue(voice.select(NATIVE))
                self.assertTrue(voice.set("never_debug", 1))
                self.assertTrue(voice.save_settings(path))
            with parlan.Parlan(engines="recording") as voice:
                self.assertFalse(voice.load_settings(os.path.join(work, "missing")))
                self.assertTrue(voice.load_settings(path))
                self.assertEqual(voice.modes[voice.get("current_mode") - 1], NATIVE)
                self.assertEqual(voice.get("never_debug"), 1)


class Speech(unittest.TestCase):
    def test_speaks_into_a_file_with_events(self):
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "out.wav")
            seen = []
            text = "Good morning to all of you."
            with parlan.Parlan(audio_file=path) as voice:
                self.assertTrue(voice.select(NATIVE))
                voice.on_audio_start = lambda: seen.append("start")
                voice.on_audio_stop = lambda: seen.append("stop")
                voice.on_word = seen.append
                self.assertTrue(voice.speak(text))
                self.assertTrue(voice.wait(60))
            self.assertEqual(seen[0], "start")
            self.assertEqual(seen[-1], "stop")
            offsets = [e.byte_offset for e in seen if isinstance(e, parlan.Word)]
            self.assertGreaterEqual(len(offsets), 5)
            self.assertEqual(offsets, sorted(set(offsets)))
            with wave.open(path) as w:
                self.assertGreater(w.getnframes() / w.getframerate(), 0.8)

    def test_voice_modes_point_at_the_words_of_the_text(self):
        text = "Good morning to you."
        words = []
        with parlan.Parlan(audio_file=scratch_wav("voice.wav")) as voice:
            voice.on_word = words.append
            if not voice.select("English (America) (SAPI 5)"):
                self.skipTest("no eSpeak NG English voice")
            self.assertTrue(voice.speak(text))
            self.assertTrue(voice.wait(60))
        spoken = [text[w.character_position - 1:w.character_position - 1 + w.length]
                  for w in words]
        self.assertEqual(spoken, ["Good", "morning", "to", "you"])

    def test_recording_engines_keep_the_phoneme_strings(self):
        with parlan.Parlan(engines="recording") as voice:
            self.assertTrue(voice.select(NATIVE))
            before = len(voice.journal)
            self.assertTrue(voice.speak("Hello."))
            self.assertTrue(voice.speak_phonemes("h@l'oU"))
            self.assertTrue(voice.audio_reset())
            self.assertGreater(len(voice.journal), before)


def tearDownModule():
    shutil.rmtree(SCRATCH, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
