#include "sim/guidance/launcher_model.h"

#include <cmath>

#include "sim/physics/atmosphere.h"
#include "sim/physics/physics.h"

namespace zenthar::guidance {

double LauncherModel::Mass(const ModelState& state) const {
  double empty = figures_->coreEmptyMass;  // kg
  if (state.boosters) {
    double thrust = 0, propellant = 0;
    figures_->BoosterProfile(state.time - setup_.ignitionTime, thrust, propellant);
    empty = propellant * figures_->boosterPropellant * 2 + figures_->stackBaseMass;
  }
  return empty + setup_.payload + state.propellant;
}

double LauncherModel::Thrust(const ModelState& state, double level, double pressure) const {
  const double ratio = pressure / figures_->referencePressure;
  const double core = setup_.coreThrustVacuum;  // N
  // The engine's own thrust flows while propellant remains; the correction for the air's pressure
  // and the boosters come on top, whatever the level.
  double thrust = state.propellant > 0 ? level * core : 0;
  thrust += ratio * (figures_->coreSeaLevelToVacuum * core - core);
  if (state.boosters) {
    double fraction = 0, propellant = 0;
    figures_->BoosterProfile(state.time - setup_.ignitionTime, fraction, propellant);
    const double booster =
        ratio * (figures_->boosterThrustSeaLevel - figures_->boosterThrustVacuum) +
        figures_->boosterThrustVacuum;
    thrust += booster * fraction * 2;
  }
  return thrust > 0 ? thrust : 0;
}

double LauncherModel::Flow(const ModelState& state, double level) const {
  if (state.propellant <= 0) return 0;
  return level * setup_.coreThrustVacuum / setup_.exhaustVelocity;
}

void LauncherModel::Step(ModelState& state, const Matrix3& attitude, double level, double h) const {
  if (state.boosters && state.time - setup_.ignitionTime > figures_->boosterBurnTime)
    state.boosters = false;
  const Planet& planet = setup_.planet;
  const double r = Length(state.position_I);
  const AtmosphereSample air = StandardAtmosphere(r - planet.radius);
  const VECTOR3 nose_I = attitude * VECTOR3{0, 0, 1};
  const double thrust = Thrust(state, level, air.pressure);  // N
  const double flow = Flow(state, level);                    // kg/s
  const double mass = Mass(state);                           // kg
  if (state.landed) {
    // On the pad it turns with the ground until its thrust lifts more than its weight.
    const double up = Dot(nose_I, state.position_I) / r;
    if (thrust * up <= mass * planet.gm / (r * r)) {
      state.position_I = RotationAboutZ(planet.rotationRate * h) * state.position_I;
      state.velocity_I = planet.SurfaceVelocity(state.position_I);
      state.propellant = std::fmax(0, state.propellant - flow * h);
      state.time += h;
      return;
    }
    state.landed = false;
  }

  const VECTOR3 mid = state.position_I + (0.5 * h) * state.velocity_I;
  const double r2 = Dot(mid, mid);
  VECTOR3 acceleration = (-planet.gm / (r2 * std::sqrt(r2))) * mid;  // m/s^2
  const double midMass = mass - flow * (0.5 * h);
  acceleration = acceleration + (thrust / midMass) * nose_I;
  if (air.density > 0) {
    const VECTOR3& areas = state.boosters ? setup_.areasWithBoosters : setup_.areasAfterBoosters;
    acceleration =
        acceleration + DragAcceleration(attitude,
                                        planet.AirVelocity(state.position_I, state.velocity_I),
                                        air.density, setup_.cw, areas, midMass, h);
  }
  state.velocity_I = state.velocity_I + h * acceleration;
  state.position_I = mid + (0.5 * h) * state.velocity_I;
  state.propellant = std::fmax(0, state.propellant - flow * h);
  state.time += h;
}

}  // namespace zenthar::guidance
