#pragma once

#include <cmath>
#include <string>
#include <vector>

namespace zenthar {

/// A programmed ascent: the nose's elevation above the local horizon over simulation time,
/// piecewise linear between points, held before the first and after the last, turned towards a
/// heading. The host steers a flying vessel that has one; on the ground it stands as it is.
struct PitchProgram {
  struct Point {
    double time;       ///< s, simulation time
    double elevation;  ///< deg above the local horizon, 90 = straight up
  };

  static constexpr std::size_t kMaxPoints = 64;

  std::vector<Point> points;  ///< in increasing time; empty: no program, attitude held
  double heading = 90;        ///< deg from north towards east

  /// Reads "t e t e ..." (the text after the PITCH key, its comment stripped): one to kMaxPoints
  /// points, times from 0 on and increasing, elevations from -90 to 90. False with the reason,
  /// leaving the program as it was, when the text is not such a list.
  bool Parse(const std::string& text, std::string& error);
  /// deg at time t (s); a binary search for its segment, since the host asks every frame.
  double ElevationAt(double t) const;
  /// The heading's cosine and sine, worked out again only when the heading has changed: the host
  /// steers by them every frame.
  void HeadingCosSin(double& cosine, double& sine) const;
  /// The program from time t on, moved earlier by t: what a scenario saved at t keeps.
  PitchProgram RebasedAt(double t) const;
  std::string PointsText() const;

 private:
  mutable double turnedHeading_ = NAN;  ///< deg, the heading of headingCos_ and headingSin_
  mutable double headingCos_ = 0;
  mutable double headingSin_ = 0;
};

}  // namespace zenthar
