#pragma once

#include "host/vector3.h"
#include "sim/guidance/launcher_figures.h"
#include "sim/physics/planet.h"
#include "sim/physics/vec_math.h"

namespace zenthar::guidance {

// A point-mass model of the launcher in the host's world: gravity, the air that turns with the
// planet, the boosters' profile, the core stage's engine, drag along each of the launcher's axes as
// the host computes it. It moves the way the host integrates a vessel (drift, kick at the midpoint,
// drift), so that the guidance can fly the rest of the mission ahead of time, quickly, at a longer
// step.

/// What the model takes from the world and the vessel when the guidance starts.
struct ModelSetup {
  Planet planet;
  double coreThrustVacuum;     ///< N, the main engine at full level in vacuum
  double exhaustVelocity;      ///< m/s, of the main engine
  double payload;              ///< kg aboard the launcher
  double ignitionTime;         ///< s, simulation time at which the boosters light
  double cw[4];                ///< drag coefficients along +z, -z, x, y
  VECTOR3 areasWithBoosters;   ///< m^2 along x, y, z while the boosters are aboard
  VECTOR3 areasAfterBoosters;  ///< m^2 along x, y, z once they have left
};

/// The model vehicle at one moment.
struct ModelState {
  double time;         ///< s
  VECTOR3 position_I;  ///< m, from the planet's centre
  VECTOR3 velocity_I;  ///< m/s
  double propellant;   ///< kg in the core stage's tank
  bool boosters;       ///< the boosters are still attached
  bool landed;         ///< standing on the pad
};

class LauncherModel {
 public:
  LauncherModel(const LauncherFigures& figures, const ModelSetup& setup)
      : figures_(&figures), setup_(setup) {}

  const ModelSetup& setup() const { return setup_; }
  const Planet& planet() const { return setup_.planet; }
  /// kg aboard, once the launcher's own empty mass tells it.
  void SetPayload(double payload) { setup_.payload = payload; }
  /// m^2 once the boosters have left, as the launcher now shows them.
  void SetAreasAfterBoosters(const VECTOR3& areas) { setup_.areasAfterBoosters = areas; }
  const LauncherFigures& figures() const { return *figures_; }

  /// kg.
  double Mass(const ModelState& state) const;
  /// N: the main thrust with the main engine at `level` and the air at `pressure` (Pa), boosters
  /// included while they burn.
  double Thrust(const ModelState& state, double level, double pressure) const;
  /// kg/s of core propellant at `level`.
  double Flow(const ModelState& state, double level) const;

  /// Advances the state by h (s), the launcher turned by `attitude` (vessel to global frame), the
  /// main engine at `level`. The boosters leave once their burn is over.
  void Step(ModelState& state, const Matrix3& attitude, double level, double h) const;

 private:
  const LauncherFigures* figures_;
  ModelSetup setup_;
};

}  // namespace zenthar::guidance
