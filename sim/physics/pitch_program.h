#pragma once

#include <string>
#include <vector>

#include "host/vector3.h"

namespace zenthar {

/// A programmed ascent: the nose's elevation above the local horizon over simulation time,
/// piecewise linear between points, held before the first and after the last, in the launch
/// plane: the plane through the planet's centre that holds the lift-off point and the heading
/// there, fixed in the global frame, so that the ascent follows a great circle. The host steers a
/// flying vessel that has one; on the ground it stands as it is.
struct PitchProgram {
  struct Point {
    double time;       ///< s, simulation time
    double elevation;  ///< deg above the local horizon, 90 = straight up
  };

  static constexpr std::size_t kMaxPoints = 64;

  std::vector<Point> points;  ///< in increasing time; empty: no program, attitude held
  double heading = 90;        ///< deg from north towards east: the launch azimuth at lift-off
  /// The launch plane's unit normal, global frame, pointing to the left of the ascent (the
  /// heading's direction is plane x up); zero until the vessel lifts off, or flies for the first
  /// time when loaded in flight without one.
  VECTOR3 plane{0, 0, 0};

  bool HasPlane() const { return plane.x != 0 || plane.y != 0 || plane.z != 0; }

  /// Reads "t e t e ..." (the text after the PITCH key, its comment stripped): one to kMaxPoints
  /// points, times from 0 on and increasing, elevations from -90 to 90. False with the reason,
  /// leaving the program as it was, when the text is not such a list.
  bool Parse(const std::string& text, std::string& error);
  /// deg at time t (s). The host asks every frame, at growing times: the segment found last is
  /// tried first, and only a time outside it is searched for (binary search).
  double ElevationAt(double t) const;
  /// The program from time t on, moved earlier by t: what a scenario saved at t keeps.
  PitchProgram RebasedAt(double t) const;
  std::string PointsText() const;

 private:
  /// The index of the point that ended the segment found last (points.size(): after the last
  /// point); a guess, checked before use, since the points may have changed since.
  mutable std::size_t segmentEnd_ = 1;
};

}  // namespace zenthar
