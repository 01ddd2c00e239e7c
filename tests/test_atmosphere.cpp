#include <gtest/gtest.h>

#include <cmath>

#include "sim/physics/atmosphere.h"

using namespace zenthar;

namespace {

/// Half a unit of the fifth significant digit, the precision of the table's printed figures.
double HalfUnitOfFifthDigit(double value) {
  return 0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(value))) - 4);
}

/// The standard's conversion from geopotential to geometric altitude (m).
double GeometricFromGeopotential(double h) {
  const double r0 = 6356766.0;  // m
  return r0 * h / (r0 - h);
}

}  // namespace

// US Standard Atmosphere 1976, tabulated by geometric altitude: pressure and density to five
// significant digits, temperature to three decimals.
TEST(StandardAtmosphere, MatchesTheTableByGeometricAltitude) {
  struct {
    double altitude, pressure, density, temperature;  // m, Pa, kg/m^3, K
  } const table[] = {
      {-5000, 1.7776e5, 1.9311, 320.676},    {-1000, 1.1393e5, 1.3470, 294.651},
      {1000, 8.9876e4, 1.1117, 281.651},     {2000, 7.9501e4, 1.0066, 275.154},
      {5000, 5.4048e4, 7.3643e-1, 255.676},  {10000, 2.6500e4, 4.1351e-1, 223.252},
      {11000, 2.2700e4, 3.6480e-1, 216.774}, {20000, 5.5293e3, 8.8910e-2, 216.650},
      {25000, 2.5492e3, 4.0084e-2, 221.552}, {30000, 1.1970e3, 1.8410e-2, 226.509},
      {32000, 8.8906e2, 1.3555e-2, 228.490}, {40000, 2.8714e2, 3.9957e-3, 250.350},
      {45000, 1.4910e2, 1.9663e-3, 264.164}, {50000, 7.9779e1, 1.0269e-3, 270.650},
      {70000, 5.2209, 8.2829e-5, 219.585},
  };
  for (const auto& row : table) {
    const AtmosphereSample air = StandardAtmosphere(row.altitude);
    EXPECT_NEAR(air.pressure, row.pressure, HalfUnitOfFifthDigit(row.pressure)) << row.altitude;
    EXPECT_NEAR(air.density, row.density, HalfUnitOfFifthDigit(row.density)) << row.altitude;
    EXPECT_NEAR(air.temperature, row.temperature, 5e-4) << row.altitude;
  }
}

// The layer boundaries, by geopotential altitude: the standard's base temperatures and base
// pressures (as printed, to their own digits) and the densities of its tables.
TEST(StandardAtmosphere, MatchesTheLayerBoundaries) {
  // m', Pa, Pa, kg/m^3, K
  struct {
    double geopotential, pressure, pressureTolerance, density, temperature;
  } const table[] = {
      {0, 101325.0, 0.5, 1.2250, 288.15},
      {11000, 22632.06, 0.005, 3.6392e-1, 216.65},
      {20000, 5474.889, 0.0005, 8.8035e-2, 216.65},
      {32000, 868.0187, 0.00005, 1.3225e-2, 228.65},
      {47000, 110.9063, 0.00005, 1.4275e-3, 270.65},
      {51000, 66.93887, 0.000005, 8.6160e-4, 270.65},
      {71000, 3.956420, 0.0000005, 6.4211e-5, 214.65},
  };
  for (const auto& row : table) {
    const AtmosphereSample air = StandardAtmosphere(GeometricFromGeopotential(row.geopotential));
    EXPECT_NEAR(air.pressure, row.pressure, row.pressureTolerance) << row.geopotential;
    EXPECT_NEAR(air.density, row.density, HalfUnitOfFifthDigit(row.density)) << row.geopotential;
    EXPECT_NEAR(air.temperature, row.temperature, 5e-4) << row.geopotential;
  }
}

TEST(StandardAtmosphere, IsVacuumFrom86Kilometres) {
  // The top of the 1976 tables, 86 km geometric (84 852 m' geopotential, here 5 cm below it).
  const AtmosphereSample top = StandardAtmosphere(GeometricFromGeopotential(84852));
  EXPECT_NEAR(top.pressure, 3.7338e-1, 5e-6);
  EXPECT_NEAR(top.density, 6.958e-6, 5e-10);
  EXPECT_NEAR(top.temperature, 186.946, 5e-4);  // molecular-scale temperature
  for (double altitude : {86000.0, 86000.5, 400e3, 1e9}) {
    const AtmosphereSample air = StandardAtmosphere(altitude);
    EXPECT_EQ(air.pressure, 0.0) << altitude;
    EXPECT_EQ(air.density, 0.0) << altitude;
    EXPECT_EQ(air.temperature, 0.0) << altitude;
  }
}

TEST(AtmosphereMemo, GivesTheStandardAtmosphereAtEveryAltitudeAsked) {
  // Repeats, a change back and forth, both zeros, vacuum, and NaN (never the air asked before);
  // vacuum kept above the air and left for the air below its top.
  const double nan = std::nan("");
  const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
  AtmosphereMemo memo;
  for (double altitude : {1000.0, 1000.0, 0.0, -0.0, 1000.0, 90e3, 90e3, 11e3, nan, nan, 11e3, 86e3,
                          1e7, double{INFINITY}, 85999.0, 90e3, nan, 86e3, 85999.0}) {
    const AtmosphereSample expected = StandardAtmosphere(altitude);
    const AtmosphereSample& air = memo.At(altitude);
    EXPECT_TRUE(same(air.pressure, expected.pressure)) << altitude;
    EXPECT_TRUE(same(air.density, expected.density)) << altitude;
    EXPECT_TRUE(same(air.temperature, expected.temperature)) << altitude;
  }
}
