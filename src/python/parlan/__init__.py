"""Parlan text-to-speech from Python, over the library's C interface.

    import parlan
    voice = parlan.Parlan(audio_file="hello.wav")     # or Parlan() for the sound server
    voice.select("English Female (Parlan)")
    voice.on_word = lambda word: print(word.byte_offset)
    voice.speak("Hello world.")
    voice.wait()

No method raises for a failure of the control: methods answer True or False, and
`last_error` holds the control's last problem as (number, message). Use an object on the
thread that created it; callbacks run on that thread, inside pump() and wait().
"""

import collections
import ctypes

from . import _capi

__all__ = ["Parlan", "Word"]

# A word being spoken. Voice (SAPI 5) modes give the word's character position in the text
# and its length; direct-engine modes (native and SAPI 4) the offset in UTF-16 bytes of the word
# in the text the engine was given, and 0 for position and length.
Word = collections.namedtuple("Word", "character_position length byte_offset stream")


def _text(value):
    return value.encode("utf-8") if isinstance(value, str) else value


class Parlan:
    """One control. engines: "default", "null", "recording" or "file" (audio_file given)."""

    def __init__(self, root=None, engines=None, audio_file=None):
        if engines is None:
            engines = "file" if audio_file else "default"
        options = _capi.Options(_text(root), _capi.ENGINES[engines], _text(audio_file))
        self._handle = ctypes.c_void_p()
        status = _capi.lib.parlan_create(ctypes.byref(options), ctypes.byref(self._handle))
        self.created = status == _capi.OK
        self.on_audio_start = None
        self.on_audio_stop = None
        self.on_word = None
        self._callback = _capi.EVENT_CALLBACK(self._event)
        if self.created:
            _capi.lib.parlan_set_event_callback(self._handle, self._callback, None)

    # ----- lifetime -----
    def close(self):
        if self._handle:
            _capi.lib.parlan_destroy(self._handle)
            self._handle = ctypes.c_void_p()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __del__(self):
        try:
            self.close()
        except Exception:  # the module may already be gone at interpreter exit
            pass

    @property
    def install_root(self):
        root = _capi.lib.parlan_install_root(self._handle)
        return root.decode("utf-8") if root is not None else None

    # ----- modes -----
    @property
    def modes(self):
        count = max(_capi.lib.parlan_mode_count(self._handle), 0)
        return [_capi.lib.parlan_mode_name(self._handle, i).decode("utf-8")
                for i in range(1, count + 1)]

    def select(self, mode):
        """Selects a mode by number (from 1) or by name."""
        if isinstance(mode, int):
            return _capi.lib.parlan_select(self._handle, mode) == _capi.OK
        return _capi.lib.parlan_select_name(self._handle, _text(mode)) == _capi.OK

    # ----- speech -----
    def speak(self, text):
        return _capi.lib.parlan_speak(self._handle, _text(text)) == _capi.OK

    def speak_phonemes(self, phonemes):
        return _capi.lib.parlan_speak_phonemes(self._handle, _text(phonemes)) == _capi.OK

    def audio_reset(self):
        return _capi.lib.parlan_audio_reset(self._handle) == _capi.OK

    def pump(self):
        return _capi.lib.parlan_pump(self._handle) == _capi.OK

    def wait(self, timeout=30.0):
        """Delivers events until the speech is done; False when the timeout came first."""
        return _capi.lib.parlan_wait(self._handle, int(timeout * 1000)) == _capi.OK

    # ----- settings -----
    def get(self, setting):
        value = ctypes.c_int32()
        status = _capi.lib.parlan_get(self._handle, _capi.SETTINGS[setting], ctypes.byref(value))
        return value.value if status == _capi.OK else None

    def set(self, setting, value):
        """False, and nothing changed, for a value outside range(setting)."""
        return _capi.lib.parlan_set(self._handle, _capi.SETTINGS[setting], int(value)) == _capi.OK

    def range(self, setting):
        low, high = ctypes.c_int32(), ctypes.c_int32()
        status = _capi.lib.parlan_range(self._handle, _capi.SETTINGS[setting], ctypes.byref(low),
                                        ctypes.byref(high))
        return (low.value, high.value) if status == _capi.OK else None

    pitch = property(lambda self: self.get("pitch"))
    speed = property(lambda self: self.get("speed"))
    volume = property(lambda self: self.get("volume"))

    def set_pitch(self, value):
        return self.set("pitch", value)

    def set_speed(self, value):
        return self.set("speed", value)

    def set_volume(self, value):
        return self.set("volume", value)

    def save_settings(self, path):
        return _capi.lib.parlan_save_settings(self._handle, _text(path)) == _capi.OK

    def load_settings(self, path):
        return _capi.lib.parlan_load_settings(self._handle, _text(path)) == _capi.OK

    @property
    def last_error(self):
        """(number, message); (0, "") when nothing went wrong."""
        message = ctypes.c_char_p()
        number = _capi.lib.parlan_last_error(self._handle, ctypes.byref(message))
        if number < 0:
            return (number, "the control is not there")
        return (number, (message.value or b"").decode("utf-8"))

    @property
    def journal(self):
        """The engine calls of a control on recording engines, in order."""
        size = max(_capi.lib.parlan_journal_size(self._handle), 0)
        return [_capi.lib.parlan_journal_line(self._handle, i).decode("utf-8")
                for i in range(size)]

    # ----- events -----
    def _event(self, _user, event):
        e = event.contents
        if e.kind == _capi.EVENT_AUDIO_START and self.on_audio_start:
            self.on_audio_start()
        elif e.kind == _capi.EVENT_AUDIO_STOP and self.on_audio_stop:
            self.on_audio_stop()
        elif e.kind == _capi.EVENT_WORD_POSITION and self.on_word:
            self.on_word(Word(e.character_position, e.length, e.byte_offset, e.stream))
