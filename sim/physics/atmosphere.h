#pragma once

#include <cmath>

namespace zenthar {

/// The air at one altitude.
struct AtmosphereSample {
  double pressure;     ///< Pa
  double density;      ///< kg/m^3
  double temperature;  ///< K
};

/// US Standard Atmosphere 1976 below 86 km geometric altitude (m; converted to geopotential
/// altitude internally), vacuum above (all zeros). Below 0 m the first layer is extrapolated.
AtmosphereSample StandardAtmosphere(double geometricAltitude);

/// The standard atmosphere at the altitude asked last, kept: asked again at the same altitude (a
/// vessel at rest, or the host after the telemetry at the same place) it is not worked out again.
class AtmosphereMemo {
 public:
  const AtmosphereSample& At(double geometricAltitude) {
    // Equal altitudes give the same air (+0 and -0 as well); NaN is never equal, so asked afresh.
    if (!(geometricAltitude == altitude_)) {
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
