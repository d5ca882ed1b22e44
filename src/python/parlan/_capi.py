"""ctypes declarations of include/parlan/parlan.h."""

import ctypes
import os

from . import _location

OK = 0
TIMEOUT = 1
ERROR_ARGUMENT = -1
ERROR_RANGE = -2
ERROR_NOT_FOUND = -3
ERROR_FAILED = -4
ERROR_FILE = -5
ERROR_WRONG_ENGINES = -6

ENGINES = {"default": 0, "null": 1, "recording": 2, "file": 3}
SETTINGS = {"pitch": 0, "speed": 1, "volume": 2, "current_mode": 3, "debugging": 4,
            "never_debug": 5}
EVENT_AUDIO_START, EVENT_AUDIO_STOP, EVENT_WORD_POSITION = 1, 2, 3


class Options(ctypes.Structure):
    _fields_ = [("install_root", ctypes.c_char_p), ("engines", ctypes.c_int),
                ("audio_file", ctypes.c_char_p)]


class Event(ctypes.Structure):
    _fields_ = [("kind", ctypes.c_int), ("hi", ctypes.c_int32), ("lo", ctypes.c_int32),
                ("byte_offset", ctypes.c_int32), ("stream", ctypes.c_int32),
                ("character_position", ctypes.c_int32), ("length", ctypes.c_int32)]


EVENT_CALLBACK = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(Event))


def _load():
    here = os.path.dirname(os.path.abspath(__file__))
    beside = os.path.normpath(os.path.join(here, _location.LIBRARY_FROM_PACKAGE))
    # The library of the tree this package was installed with; else the one the loader finds.
    return ctypes.CDLL(beside if os.path.exists(beside) else _location.LIBRARY_SONAME)


lib = _load()
_handle = ctypes.c_void_p
_i32p = ctypes.POINTER(ctypes.c_int32)

_SIGNATURES = {
    "parlan_create": (ctypes.c_int, [ctypes.POINTER(Options), ctypes.POINTER(_handle)]),
    "parlan_destroy": (None, [_handle]),
    "parlan_install_root": (ctypes.c_char_p, [_handle]),
    "parlan_mode_count": (ctypes.c_int, [_handle]),
    "parlan_mode_name": (ctypes.c_char_p, [_handle, ctypes.c_int]),
    "parlan_select": (ctypes.c_int, [_handle, ctypes.c_int]),
    "parlan_select_name": (ctypes.c_int, [_handle, ctypes.c_char_p]),
    "parlan_speak": (ctypes.c_int, [_handle, ctypes.c_char_p]),
    "parlan_speak_phonemes": (ctypes.c_int, [_handle, ctypes.c_char_p]),
    "parlan_audio_reset": (ctypes.c_int, [_handle]),
    "parlan_get": (ctypes.c_int, [_handle, ctypes.c_int, _i32p]),
    "parlan_set": (ctypes.c_int, [_handle, ctypes.c_int, ctypes.c_int32]),
    "parlan_range": (ctypes.c_int, [_handle, ctypes.c_int, _i32p, _i32p]),
    "parlan_save_settings": (ctypes.c_int, [_handle, ctypes.c_char_p]),
    "parlan_load_settings": (ctypes.c_int, [_handle, ctypes.c_char_p]),
    "parlan_last_error": (ctypes.c_int, [_handle, ctypes.POINTER(ctypes.c_char_p)]),
    "parlan_set_event_callback": (ctypes.c_int, [_handle, EVENT_CALLBACK, ctypes.c_void_p]),
    "parlan_pump": (ctypes.c_int, [_handle]),
    "parlan_wait": (ctypes.c_int, [_handle, ctypes.c_int]),
    "parlan_journal_size": (ctypes.c_int, [_handle]),
    "parlan_journal_line": (ctypes.c_char_p, [_handle, ctypes.c_int]),
}
for _name, (_result, _args) in _SIGNATURES.items():
    _function = getattr(lib, _name)
    _function.restype = _result
    _function.argtypes = _args
