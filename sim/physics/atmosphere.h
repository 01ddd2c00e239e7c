#pragma once

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

}  // namespace zenthar
