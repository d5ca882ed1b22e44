// The signals that end a run of the tool early. SIGINT and SIGTERM interrupt it (reported as
// such); SIGHUP (the terminal went away) and SIGPIPE (the reader of standard output went away)
// end it quietly with the status of the signal, as for any filter. In every case the run first
// cleans up, so that no temporary sound file is left behind, and a Speak in progress stops at
// its next phrase.
#pragma once

#include "parlan/Parlana.h"

namespace parlan::cli {

// Catches the four signals for its lifetime.
class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  bool Interrupted() const;
  // The signal caught first; 0 while none was.
  int Signal() const;
};

// Sends the control a stop request when one of the signals arrives, for its lifetime (which
// must lie within the control's).
class StopOnSignal {
 public:
  explicit StopOnSignal(Parlana& control);
  ~StopOnSignal();
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;
};

// Thrown once a signal interrupted the run, after the clean-up of the objects it unwinds.
class SignalStop {
 public:
  explicit SignalStop(int signal) : signal_(signal) {}
  int Signal() const { return signal_; }
  // SIGHUP and SIGPIPE: the run ends without a message, by the signal itself.
  bool Quiet() const;

 private:
  int signal_;
};

// Ends the process by `signal` with its default action (the status a shell shows as 128 + the
// signal number); returns only if that fails.
void DieBySignal(int signal);

}  // namespace parlan::cli
