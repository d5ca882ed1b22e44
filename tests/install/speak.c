/* A C host on parlan.h: lists the modes, selects one by name, speaks into the control's sound
 * file and counts the events it receives.
 *
 *   speak MODE TEXT WAV */
#include <parlan/parlan.h>
#include <stdio.h>

struct counts {
  int starts, stops, words;
};

static void on_event(void* user, const parlan_event* event) {
  struct counts* c = (struct counts*)user;
  if (event->kind == PARLAN_EVENT_AUDIO_START) c->starts++;
  if (event->kind == PARLAN_EVENT_AUDIO_STOP) c->stops++;
  if (event->kind == PARLAN_EVENT_WORD_POSITION) {
    c->words++;
    printf("word %d %d\n", event->character_position, event->length);
  }
}

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: speak MODE TEXT WAV\n");
    return 2;
  }
  parlan_options options = {NULL, PARLAN_ENGINES_FILE, argv[3]};
  parlan_control* control = NULL;
  if (parlan_create(&options, &control) != PARLAN_OK) {
    fprintf(stderr, "speak: cannot create the control\n");
    return 1;
  }
  printf("root %s\n", parlan_install_root(control));
  int count = parlan_mode_count(control);
  for (int i = 1; i <= count; ++i) printf("mode %d %s\n", i, parlan_mode_name(control, i));
  struct counts counts = {0, 0, 0};
  parlan_set_event_callback(control, on_event, &counts);
  int status = parlan_select_name(control, argv[1]);
  if (status != PARLAN_OK) {
    fprintf(stderr, "speak: no mode %s (%d)\n", argv[1], status);
    parlan_destroy(control);
    return 1;
  }
  if (parlan_speak(control, argv[2]) != PARLAN_OK || parlan_wait(control, 60000) != PARLAN_OK) {
    const char* message = NULL;
    int number = parlan_last_error(control, &message);
    fprintf(stderr, "speak: failed: %d %s\n", number, message);
    parlan_destroy(control);
    return 1;
  }
  printf("events %d %d %d\n", counts.starts, counts.stops, counts.words);
  parlan_destroy(control);
  return 0;
}
