"""Drives a running speech-dispatcher (SPEECHD_ADDRESS) through the Python speechd client and
prints what it hears back, one line per event: "<seconds> <event> [<mark>]".

Scenarios: marks (SSML with index marks), stop (a long text stopped after three seconds), queue (two
messages sent at once)."""
import sys
import threading
import time

import speechd

START = time.monotonic()
LOCK = threading.Lock()


def say(*words):
    with LOCK:
        print("%.3f %s" % (time.monotonic() - START, " ".join(str(w) for w in words)), flush=True)


def recorder(tag, done):
    def callback(kind, index_mark=None):
        if kind == speechd.CallbackType.INDEX_MARK:
            say(tag, "mark", index_mark)
        else:
            say(tag, kind)
        if kind in (speechd.CallbackType.END, speechd.CallbackType.CANCEL):
            done.set()
    return callback


def main():
    scenario = sys.argv[1]
    client = speechd.SSIPClient("parlan-test")
    client.set_output_module("parlan")
    events = [speechd.CallbackType.BEGIN, speechd.CallbackType.END, speechd.CallbackType.CANCEL,
              speechd.CallbackType.INDEX_MARK]
    if scenario == "marks":
        client.set_data_mode(speechd.DataMode.SSML)
        done = threading.Event()
        client.speak('<speak>One two three.<mark name="first"/>Four five six.'
                     '<mark name="second"/></speak>', recorder("m", done), events)
        done.wait(30)
    elif scenario == "stop":
        done = threading.Event()
        begun = threading.Event()
        inner = recorder("s", done)

        def callback(kind, index_mark=None):
            inner(kind, index_mark)
            if kind == speechd.CallbackType.BEGIN:
                begun.set()
        client.speak("The quick brown fox jumps over the lazy dog. " * 12, callback, events)
        begun.wait(30)
        time.sleep(3.0)
        say("s", "stopping")
        client.stop()
        done.wait(10)
    elif scenario == "queue":
        first, second = threading.Event(), threading.Event()
        client.speak("This is the first message.", recorder("1", first), events)
        client.speak("And here comes the second.", recorder("2", second), events)
        first.wait(30)
        second.wait(30)
    client.close()


main()
