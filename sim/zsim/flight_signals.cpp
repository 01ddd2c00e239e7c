#include "sim/zsim/flight_signals.h"

namespace zenthar::zsim {

namespace {

const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
const int kIgnored[] = {SIGPIPE, SIGXFSZ};

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int signal) {
  if (stopSignal == 0) stopSignal = signal;
}

sigset_t StopSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kStopSignals) sigaddset(&set, signal);
  return set;
}

}  // namespace

FlightSignals::FlightSignals() {
  stopSignal = 0;
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  action.sa_mask = StopSet();
  action.sa_flags = SA_RESTART;  // a signal never makes a write fail
  int i = 0;
  for (int signal : kStopSignals) {
    // One ignored already (nohup, a background job) stays ignored.
    sigaction(signal, nullptr, &previous_[i]);
    if (previous_[i++].sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);
  }
  action.sa_handler = SIG_IGN;
  for (int signal : kIgnored) sigaction(signal, &action, &previous_[i++]);
}

FlightSignals::~FlightSignals() {
  int i = 0;
  for (int signal : kStopSignals) sigaction(signal, &previous_[i++], nullptr);
  for (int signal : kIgnored) sigaction(signal, &previous_[i++], nullptr);
}

int FlightSignals::stop() {
  return stopSignal;
}

void FlightSignals::StopAsBy(int signal) {
  if (stopSignal == 0) stopSignal = signal;
}

const char* FlightSignals::NameOf(int signal) {
  switch (signal) {
    case SIGINT:
      return "Ctrl-C";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "a signal";
  }
}

StopSignalsHeld::StopSignalsHeld() {
  const sigset_t set = StopSet();
  sigprocmask(SIG_BLOCK, &set, &previous_);
}

StopSignalsHeld::~StopSignalsHeld() {
  sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace zenthar::zsim
