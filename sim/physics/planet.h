#pragma once

namespace zenthar {

/// The one planet of the stand-in host: a non-rotating sphere.
struct Planet {
  double radius = 6371000.0;   ///< m
  double gm = 3.986004418e14;  ///< m^3/s^2, gravitational parameter
};

}  // namespace zenthar
