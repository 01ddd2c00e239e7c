#pragma once

#include <cmath>

namespace zenthar {

/// The air at one altitude.
struct AtmosphereSample {
  double pressure;     ///< Pa
  double density;      ///< kg/m^3
  double temperature;  ///< K
};

/// m, geometric altitude: the air ends here, vacuum from here up.
constexpr double kAirTopAltitude = 86000.0;

/// US Standard Atmosphere 1976 below 86 km geometric altitude (m; converted to geopotential
/// altitude internally), vacuum above (all zeros). Below 0 m the first layer is extrapolated.
AtmosphereSample StandardAtmosphere(double geometricAltitude);

/// The standard atmosphere at the altitude asked last, kept: asked again at the same altitude (a
/// vessel at rest, or the host after the telemetry at the same place) or again above the air, it
/// is not worked out again.
class AtmosphereMemo {
 public:
  const AtmosphereSample& At(double geometricAltitude) {
    // Equal altitudes give the same air (+0 and -0 as well); NaN is never equal, so asked afresh.
    // Every altitude above the air gives the same vacuum: a vessel out of the air keeps it while
    // its altitude changes every frame.
    const bool bothAbove = geometricAltitude >= kAirTopAltitude && altitude_ >= kAirTopAltitude;
    if (!(geometricAltitude == altitude_) && !bothAbove) {
      sample_ = StandardAtmosphere(geometricAltitude);
      altitude_ = geometricAltitude;
    }
    return sample_;
  }

 private:
  double altitude_ = NAN;  ///< m, geometric
  AtmosphereSample sample_{0, 0, 0};
};

}  // namespace zenthar
