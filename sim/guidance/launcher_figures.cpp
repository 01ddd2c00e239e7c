#include "sim/guidance/launcher_figures.h"

#include "sim/physics/physical_constants.h"

namespace zenthar::guidance {

const LauncherFigures kVantorFigures = {
    340.0 / 430.0,
    660000 * kStandardGravity,
    660000 * kStandardGravity * 250 / 275,
    101400,
    237700,
    251400,
    13700,
    129,
    "vantor_leftpay",
    {"vantor_leftsrb", "vantor_rightsrb"},
    {0, 1, 105, 120, 129, 138},
    {0, 1, 1, 0.8, 0.15, 0},
    {1, 0.99583, 0.1618, 0.0492, 0.00563, 0},
};

void LauncherFigures::BoosterProfile(double t, double& thrust, double& propellant) const {
  int k = 0;
  while (k < kProfilePoints - 2 && t > profileTime[k + 1]) ++k;
  const double span = profileTime[k + 1] - profileTime[k];
  const double f = (t - profileTime[k]) / span;
  thrust = profileThrust[k] + f * (profileThrust[k + 1] - profileThrust[k]);
  propellant = profilePropellant[k] + f * (profilePropellant[k + 1] - profilePropellant[k]);
}

}  // namespace zenthar::guidance
