#include "Signals.h"

#include <atomic>
#include <csignal>

namespace parlan::cli {
namespace {

constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// A signal handler can reach nothing but variables of static storage, so these are the tool's
// only ones: the signal caught and the control to stop.
volatile std::sig_atomic_t caughtSignal = 0;
std::atomic<Parlana*> controlToStop{nullptr};
static_assert(std::atomic<Parlana*>::is_always_lock_free);

struct sigaction oldActions[std::size(kCaught)];

extern "C" void OnSignal(int signal) {
  if (caughtSignal == 0) caughtSignal = signal;
  if (Parlana* control = controlToStop.load()) control->RequestStop();
}

}  // namespace

InterruptGuard::InterruptGuard() {
  caughtSignal = 0;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < std::size(kCaught); ++i) sigaction(kCaught[i], &action, &oldActions[i]);
}

InterruptGuard::~InterruptGuard() {
  for (size_t i = 0; i < std::size(kCaught); ++i) sigaction(kCaught[i], &oldActions[i], nullptr);
}

bool InterruptGuard::Interrupted() const {
  return caughtSignal != 0;
}

int InterruptGuard::Signal() const {
  return caughtSignal;
}

StopOnSignal::StopOnSignal(Parlana& control) {
  controlToStop.store(&control);
  if (caughtSignal != 0) control.RequestStop();  // arrived before the control could be reached
}

StopOnSignal::~StopOnSignal() {
  controlToStop.store(nullptr);
}

bool SignalStop::Quiet() const {
  return signal_ == SIGHUP || signal_ == SIGPIPE;
}

void DieBySignal(int signal) {
  std::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  std::raise(signal);
}

}  // namespace parlan::cli
