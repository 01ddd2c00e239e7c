#include "sim/zsim/realtime.h"

#include <cstdio>
#include <thread>

namespace zenthar::zsim {

namespace {

// Sleeping shorter than this costs more in wake-ups than it gains in smoothness.
const std::chrono::milliseconds kShortestSleep{2};
const std::chrono::milliseconds kStatusInterval{100};

}  // namespace

RealtimeWatch::RealtimeWatch(double factor, double startTime, bool liveStatus)
    : factor_(factor),
      startTime_(startTime),
      liveStatus_(liveStatus),
      wallStart_(Clock::now()),
      nextStatus_(wallStart_) {}

void RealtimeWatch::Pace(double time) {
  const std::chrono::duration<double> due((time - startTime_) / factor_);
  const Clock::time_point target = wallStart_ + std::chrono::duration_cast<Clock::duration>(due);
  const Clock::time_point now = Clock::now();
  if (target - now > kShortestSleep) std::this_thread::sleep_until(target);
}

bool RealtimeWatch::StatusDue() const {
  return liveStatus_ && (!statusShown_ || Clock::now() >= nextStatus_);
}

void RealtimeWatch::ShowStatus(const TelemetrySample& vehicle, const char* phase) {
  std::printf("\r\033[KT+%8.2f s  %-18s  alt %7.1f km  v %7.1f m/s  propellant %7.0f kg",
              vehicle.time, phase, vehicle.altitude / 1000, vehicle.speed, vehicle.propellant);
  std::fflush(stdout);
  statusShown_ = true;
  nextStatus_ = Clock::now() + kStatusInterval;
}

void RealtimeWatch::ClearStatus() {
  if (!statusShown_) return;
  std::fputs("\r\033[K", stdout);
  statusShown_ = false;
}

}  // namespace zenthar::zsim
