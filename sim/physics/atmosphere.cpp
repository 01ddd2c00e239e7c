#include "sim/physics/atmosphere.h"

#include <cmath>

#include "sim/physics/physical_constants.h"

namespace zenthar {

namespace {

// Constants of the 1976 standard.
const double EARTH_RADIUS = 6356766.0;        ///< m, the radius of the geopotential conversion
const double SEA_LEVEL_PRESSURE = 101325;     ///< Pa
const double SEA_LEVEL_TEMPERATURE = 288.15;  ///< K

/// One layer of linear molecular-scale temperature in geopotential altitude.
struct Layer {
  double baseHeight;       ///< m', geopotential altitude where the layer starts
  double baseTemperature;  ///< K
  double lapseRate;        ///< K/m'
  double basePressure;     ///< Pa
};

const int LAYER_COUNT = 7;

struct Layers {
  Layer layer[LAYER_COUNT];
};

/// Pressure at geopotential altitude h within a layer whose base pressure is known.
double LayerPressure(const Layer& layer, double h) {
  const double gmr = kStandardGravity * kAirMolarMass / kGasConstant;  // K/m'
  if (layer.lapseRate == 0) {
    return layer.basePressure * std::exp(-gmr * (h - layer.baseHeight) / layer.baseTemperature);
  }
  const double temperature = layer.baseTemperature + layer.lapseRate * (h - layer.baseHeight);
  return layer.basePressure * std::pow(layer.baseTemperature / temperature, gmr / layer.lapseRate);
}

// The standard fixes only the breakpoints and lapse rates; the base temperatures and pressures
// follow from them layer by layer, as in the standard's own tables.
Layers BuildLayers() {
  const double heights[LAYER_COUNT] = {0, 11000, 20000, 32000, 47000, 51000, 71000};         // m'
  const double lapseRates[LAYER_COUNT] = {-6.5e-3, 0, 1.0e-3, 2.8e-3, 0, -2.8e-3, -2.0e-3};  // K/m'
  Layers layers{};
  layers.layer[0] = {heights[0], SEA_LEVEL_TEMPERATURE, lapseRates[0], SEA_LEVEL_PRESSURE};
  for (int i = 1; i < LAYER_COUNT; ++i) {
    const Layer& below = layers.layer[i - 1];
    const double temperature =
        below.baseTemperature + below.lapseRate * (heights[i] - below.baseHeight);
    layers.layer[i] = {heights[i], temperature, lapseRates[i], LayerPressure(below, heights[i])};
  }
  return layers;
}

}  // namespace

AtmosphereSample StandardAtmosphere(double geometricAltitude) {
  if (geometricAltitude >= kAirTopAltitude) return {0, 0, 0};
  static const Layers layers = BuildLayers();
  const double h = EARTH_RADIUS * geometricAltitude / (EARTH_RADIUS + geometricAltitude);  // m'
  int i = LAYER_COUNT - 1;
  while (i > 0 && h < layers.layer[i].baseHeight) --i;
  const Layer& layer = layers.layer[i];
  const double temperature = layer.baseTemperature + layer.lapseRate * (h - layer.baseHeight);
  const double pressure = LayerPressure(layer, h);
  // Below 86 km the mean molecular weight is taken as constant, so the molecular-scale
  // temperature gives the density exactly.
  const double density = pressure * kAirMolarMass / (kGasConstant * temperature);
  return {pressure, density, temperature};
}

}  // namespace zenthar
