#pragma once

#include <chrono>

#include "sim/zsim/telemetry.h"

namespace zenthar::zsim {

/// Paces a flight to the wall clock, `factor` times faster than real time, and on a terminal keeps
/// a one-line live status (time, phase, altitude, speed, propellant) refreshed in place.
class RealtimeWatch {
 public:
  /// `startTime` is the simulation time (s) the pacing starts from; `liveStatus` draws the status
  /// line (only on a terminal).
  RealtimeWatch(double factor, double startTime, bool liveStatus);

  /// After a frame: waits until the wall clock has caught up with the simulation time `time` (s).
  void Pace(double time);
  /// Whether the status line is to be drawn again: it is drawn about ten times a second, so the
  /// vehicle's state is worked out for it only then.
  bool StatusDue() const;
  void ShowStatus(const TelemetrySample& vehicle, const char* phase);
  /// Takes the status line away before other output; it comes back when next due.
  void ClearStatus();

 private:
  using Clock = std::chrono::steady_clock;

  double factor_;
  double startTime_;  ///< s
  bool liveStatus_;
  bool statusShown_ = false;
  Clock::time_point wallStart_;
  Clock::time_point nextStatus_;
};

}  // namespace zenthar::zsim
