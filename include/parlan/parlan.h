/* The C interface of the Parlan text-to-speech control (library parlan-c).
 *
 * A handle is one control. Use it on the thread that created it: the control keeps its state
 * per thread, and events are delivered on that thread, from parlan_pump and parlan_wait.
 * Strings are UTF-8. A string a function returns belongs to the handle and stays valid until
 * the next call on that handle (copy it to keep it). Functions returning int answer PARLAN_OK
 * (0) or a negative PARLAN_ERROR_* code; no function lets a C++ exception out. Parameters
 * and fields that take one of the enumerations below are int, so that any value a caller
 * passes is well defined and an unknown one is refused (PARLAN_ERROR_ARGUMENT).
 */
#ifndef PARLAN_PARLAN_H
#define PARLAN_PARLAN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct parlan_control parlan_control;

enum {
  PARLAN_OK = 0,
  PARLAN_TIMEOUT = 1,              /* parlan_wait: speech still going when the time was up */
  PARLAN_ERROR_ARGUMENT = -1,      /* null handle or pointer, text that is not UTF-8 */
  PARLAN_ERROR_RANGE = -2,         /* a mode number or setting outside its range */
  PARLAN_ERROR_NOT_FOUND = -3,     /* no mode or member of that name */
  PARLAN_ERROR_FAILED = -4,        /* the control or an engine failed; see parlan_last_error */
  PARLAN_ERROR_FILE = -5,          /* a settings file could not be read or written */
  PARLAN_ERROR_WRONG_ENGINES = -6, /* only a control on recording engines keeps a journal */
};

/* Where a control's engines come from. */
typedef enum parlan_engines {
  PARLAN_ENGINES_DEFAULT = 0,   /* eSpeak NG playing through the sound server */
  PARLAN_ENGINES_NULL = 1,      /* engines that fail every call (native modes only) */
  PARLAN_ENGINES_RECORDING = 2, /* engines that record every call, for tests and dry runs */
  PARLAN_ENGINES_FILE = 3       /* eSpeak NG writing audio_file: FLAC for ".flac", else WAV */
} parlan_engines;

typedef struct parlan_options {
  const char* install_root; /* NULL or "": the languages installed beside the library */
  int engines;              /* a parlan_engines value */
  const char* audio_file;   /* for PARLAN_ENGINES_FILE */
} parlan_options;

/* options may be NULL (default root and engines). On success *out is the new handle. */
int parlan_create(const parlan_options* options, parlan_control** out);
void parlan_destroy(parlan_control* control);
/* The install root the control reads its languages from. */
const char* parlan_install_root(parlan_control* control);

/* ----- Modes (numbered from 1) ----- */
int parlan_mode_count(parlan_control* control);                  /* the count, or an error */
const char* parlan_mode_name(parlan_control* control, int mode); /* NULL outside 1..count */
int parlan_select(parlan_control* control, int mode);
int parlan_select_name(parlan_control* control, const char* name); /* exact, then any case */

/* ----- Speech ----- */
int parlan_speak(parlan_control* control, const char* text);
int parlan_speak_phonemes(parlan_control* control, const char* phonemes);
int parlan_audio_reset(parlan_control* control);

/* ----- Settings ----- */
typedef enum parlan_setting {
  PARLAN_PITCH = 0,
  PARLAN_SPEED = 1,
  PARLAN_VOLUME = 2,
  PARLAN_CURRENT_MODE = 3,
  PARLAN_DEBUGGING = 4,  /* 0 or 1 */
  PARLAN_NEVER_DEBUG = 5 /* 0 or 1 */
} parlan_setting;

int parlan_get(parlan_control* control, int setting, int32_t* value);
/* PARLAN_ERROR_RANGE (and nothing set) for a value outside parlan_range. */
int parlan_set(parlan_control* control, int setting, int32_t value);
int parlan_range(parlan_control* control, int setting, int32_t* min, int32_t* max);

/* Saves the settings into / restores them from a text file. */
int parlan_save_settings(parlan_control* control, const char* path);
int parlan_load_settings(parlan_control* control, const char* path);

/* The last problem the control recorded: its number (0: none), *message its text. */
int parlan_last_error(parlan_control* control, const char** message);

/* ----- Events ----- */
typedef enum parlan_event_kind {
  PARLAN_EVENT_AUDIO_START = 1,
  PARLAN_EVENT_AUDIO_STOP = 2,
  PARLAN_EVENT_WORD_POSITION = 3
} parlan_event_kind;

typedef struct parlan_event {
  int kind;                   /* a parlan_event_kind value */
  int32_t hi, lo;             /* the audio stream position */
  int32_t byte_offset;        /* word position: offset in UTF-16 bytes (direct engines) */
  int32_t stream;             /* word position: stream number (voice engine) */
  int32_t character_position; /* word position: character position of the word */
  int32_t length;             /* word position: its length */
} parlan_event;

typedef void (*parlan_event_callback)(void* user, const parlan_event* event);

/* One callback per control (NULL removes it); called on the thread that pumps. A callback may
 * call any function on the handle but parlan_destroy. */
int parlan_set_event_callback(parlan_control* control, parlan_event_callback callback, void* user);
/* Delivers the events queued so far. */
int parlan_pump(parlan_control* control);
/* Delivers events until the engines are idle: PARLAN_OK, or PARLAN_TIMEOUT. */
int parlan_wait(parlan_control* control, int timeout_ms);

/* ----- Late binding ----- */
typedef enum parlan_value_type {
  PARLAN_VALUE_EMPTY = 0,
  PARLAN_VALUE_BOOL = 1,
  PARLAN_VALUE_INTEGER = 2, /* 16-bit */
  PARLAN_VALUE_LONG = 3,
  PARLAN_VALUE_DOUBLE = 4,
  PARLAN_VALUE_STRING = 5
} parlan_value_type;

typedef struct parlan_value {
  int type;         /* a parlan_value_type value */
  int32_t integer;  /* BOOL (0 or 1), INTEGER, LONG */
  double number;    /* DOUBLE */
  const char* text; /* STRING; values written back belong to the handle */
} parlan_value;

typedef enum parlan_call_kind {
  PARLAN_CALL_METHOD = 0,
  PARLAN_CALL_GET = 1,
  PARLAN_CALL_PUT = 2
} parlan_call_kind;

/* The dispatch identifier of a member name (any case). */
int parlan_dispatch_id(const char* name, int32_t* dispid);
/* Calls a member by dispatch identifier; by-reference arguments are written back into args.
 * result may be NULL. */
int parlan_invoke(parlan_control* control, int32_t dispid, int kind, parlan_value* args,
                  size_t arg_count, parlan_value* result);

/* ----- Recording engines ----- */
/* The journal of engine calls (readable lines, in order) of a control on recording engines. */
int parlan_journal_size(parlan_control* control);
const char* parlan_journal_line(parlan_control* control, int index); /* 0-based */

#ifdef __cplusplus
}
#endif

#endif /* PARLAN_PARLAN_H */
