#pragma once

#include <csignal>

namespace zenthar::zsim {

/// How zsim meets signals while it flies. Ctrl-C (SIGINT), SIGTERM and SIGHUP, however often they
/// come, end the flight at the next frame; its files are then written as for a flight flown to its
/// end, and zsim exits with 128 + the first signal's number. A signal ignored when zsim starts
/// (nohup) stays ignored. A pipe that closes (SIGPIPE) or a
/// file-size limit (SIGXFSZ) makes a write fail, which is reported, instead of killing zsim.
class FlightSignals {
 public:
  /// Catches the signals from now on.
  FlightSignals();
  /// Gives them back their earlier handling.
  ~FlightSignals();
  FlightSignals(const FlightSignals&) = delete;
  FlightSignals& operator=(const FlightSignals&) = delete;

  /// The first stop signal that came, or 0.
  static int stop();
  /// Ends the flight as the signal would, caught or not: Ctrl-C typed to a terminal in raw mode.
  static void StopAsBy(int signal);
  /// "Ctrl-C", "SIGTERM", "SIGHUP"
  static const char* NameOf(int signal);

 private:
  struct sigaction previous_[5];  ///< SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ
};

/// Holds the stop signals back while it lives, so that moving a flight's files in is never cut
/// short; one that came meanwhile is delivered after.
class StopSignalsHeld {
 public:
  StopSignalsHeld();
  ~StopSignalsHeld();
  StopSignalsHeld(const StopSignalsHeld&) = delete;
  StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace zenthar::zsim
