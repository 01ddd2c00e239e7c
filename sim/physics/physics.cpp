#include "sim/physics/physics.h"

#include <cmath>

#include "sim/physics/atmosphere.h"
#include "sim/physics/physical_constants.h"

namespace zenthar {

namespace {

/// What drives the vessel during one stretch of a step.
struct Drive {
  double engineThrust;  ///< N, the main engine's own part, before the modifier
  double flow;          ///< kg/s, main-tank propellant flow
};

/// The vessel's nose direction in the global frame: the line of the main thrust.
VECTOR3 ThrustDirection(const VesselState& vessel) {
  return vessel.attitude * VECTOR3{0, 0, 1};
}

/// Main-engine thrust before the modifier (N): only while the tank holds propellant.
double EngineThrust(const VesselState& vessel) {
  if (vessel.fuelMass <= 0) return 0;
  const double thrust = vessel.engineLevel[ENGINE_MAIN] * vessel.maxThrust[ENGINE_MAIN];
  return thrust > 0 ? thrust : 0;
}

double CombinedThrust(double engineThrust, double modifier) {
  const double thrust = engineThrust + modifier;
  return thrust > 0 ? thrust : 0;
}

/// Drag factor k (kg/m) such that the drag force is -k |v| v. The coefficient is blended from the
/// per-axis coefficients by the squared direction cosines of the motion in the vessel frame, so
/// motion along an axis gets exactly that axis's coefficient and drag always opposes the motion.
double DragFactor(const VesselState& vessel) {
  if (vessel.atmDensity <= 0) return 0;
  const double speed2 = Dot(vessel.velocity, vessel.velocity);  // m^2/s^2
  if (speed2 == 0) return 0;
  const VECTOR3 u = TransposeTimes(vessel.attitude, vessel.velocity);  // m/s, vessel frame
  const double cz = u.z > 0 ? vessel.cw[0] : vessel.cw[1];
  const double cd = (vessel.cw[2] * u.x * u.x + vessel.cw[3] * u.y * u.y + cz * u.z * u.z) / speed2;
  const double area = kPi * vessel.size * vessel.size;  // m^2
  return 0.5 * vessel.atmDensity * cd * area;
}

/// One drift-kick-drift (position Verlet) stretch of length h (s) with a constant drive. Gravity is
/// taken at the midpoint position, thrust over the midpoint mass (the mass falls linearly), drag
/// from the velocity at the start of the stretch.
void Advance(VesselState& vessel, const Planet& planet, double h, const Drive& drive,
             const VECTOR3& direction, double dragFactor) {
  if (h <= 0) return;
  const VECTOR3 mid = vessel.position + (0.5 * h) * vessel.velocity;
  const double r2 = Dot(mid, mid);
  const double r = std::sqrt(r2);
  VECTOR3 acceleration = (-planet.gm / (r2 * r)) * mid;        // m/s^2
  const double mass = vessel.Mass() - drive.flow * (0.5 * h);  // kg, at the midpoint
  if (mass > 0) {
    const double thrust = CombinedThrust(drive.engineThrust, vessel.mainThrustMod);
    acceleration = acceleration + (thrust / mass) * direction;
    if (dragFactor > 0) {
      // Drag may stop the vessel against the air within the stretch but never reverse it.
      double rate = dragFactor * Length(vessel.velocity) / mass;  // 1/s
      if (rate * h > 1) rate = 1 / h;
      acceleration = acceleration - rate * vessel.velocity;
    }
  }
  vessel.velocity = vessel.velocity + h * acceleration;
  vessel.position = mid + (0.5 * h) * vessel.velocity;
}

/// Height above the surface of the vessel's lowest contact point (m): its touchdown points, or,
/// when none are set, its origin less its centre-of-gravity elevation.
double ContactAltitude(const VesselState& vessel, const Planet& planet) {
  const double origin = Altitude(vessel, planet);
  double reach = vessel.cogElevation;  // m, a bound on how far below the origin a contact lies
  bool anyPoint = false;
  for (const VECTOR3& p : vessel.touchdown) {
    const double l1 = std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z);
    if (l1 > 0) anyPoint = true;
    if (l1 > reach) reach = l1;
  }
  if (!anyPoint) return origin - vessel.cogElevation;
  if (origin > reach) return origin - reach;  // far from the ground: no need to be exact
  double lowest = origin;
  for (const VECTOR3& p : vessel.touchdown) {
    const double altitude = Length(vessel.position + vessel.attitude * p) - planet.radius;
    if (altitude < lowest) lowest = altitude;
  }
  return lowest;
}

bool ThrustLiftsOff(const VesselState& vessel, const Planet& planet) {
  const double r2 = Dot(vessel.position, vessel.position);
  const double r = std::sqrt(r2);
  const double weight = vessel.Mass() * planet.gm / r2;  // N
  const double upward = Dot(ThrustDirection(vessel), vessel.position) / r;
  return MainThrust(vessel) * upward > weight;
}

}  // namespace

double Altitude(const VesselState& vessel, const Planet& planet) {
  return Length(vessel.position) - planet.radius;
}

void UpdateEnvironment(VesselState& vessel, const Planet& planet) {
  const AtmosphereSample air = StandardAtmosphere(Altitude(vessel, planet));
  vessel.atmPressure = air.pressure;
  vessel.atmDensity = air.density;
  vessel.atmTemperature = air.temperature;
}

double MainThrust(const VesselState& vessel) {
  return CombinedThrust(EngineThrust(vessel), vessel.mainThrustMod);
}

StepOutcome Integrate(VesselState& vessel, const Planet& planet, double dt) {
  StepOutcome outcome;
  const double engineThrust = EngineThrust(vessel);
  const double flow = engineThrust > 0 && vessel.isp > 0 ? engineThrust / vessel.isp : 0;  // kg/s
  // How long within this step the engine burns: all of it, or until the tank runs dry. An engine
  // without an exhaust velocity empties its tank at once.
  double burn = dt;  // s
  bool runsDry = false;
  if (engineThrust > 0) {
    if (vessel.isp <= 0) {
      burn = 0;
      runsDry = true;
    } else if (vessel.fuelMass <= flow * dt) {
      burn = vessel.fuelMass / flow;
      if (burn > dt) burn = dt;
      runsDry = true;
    }
  }

  if (vessel.landed) {
    if (!ThrustLiftsOff(vessel, planet)) {
      vessel.velocity = {0, 0, 0};
      vessel.fuelMass = runsDry ? 0.0 : vessel.fuelMass - flow * dt;
      outcome.propellantExhausted = runsDry;
      return outcome;
    }
    vessel.landed = false;
    outcome.liftedOff = true;
  }

  const VECTOR3 direction = ThrustDirection(vessel);
  const double dragFactor = DragFactor(vessel);
  if (runsDry) {
    // Split the step where the tank runs dry, so the engine's thrust stops exactly with it.
    Advance(vessel, planet, burn, Drive{engineThrust, flow}, direction, dragFactor);
    vessel.fuelMass = 0.0;
    outcome.propellantExhausted = true;
    Advance(vessel, planet, dt - burn, Drive{0, 0}, direction, dragFactor);
  } else {
    Advance(vessel, planet, dt, Drive{engineThrust, flow}, direction, dragFactor);
    vessel.fuelMass -= flow * dt;
  }

  // Touching the ground while not climbing away from it ends the flight where it stands.
  const double contact = ContactAltitude(vessel, planet);
  if (contact <= 0 && Dot(vessel.velocity, vessel.position) <= 0) {
    const double r = Length(vessel.position);
    vessel.position = ((r - contact) / r) * vessel.position;
    vessel.velocity = {0, 0, 0};
    vessel.landed = true;
    vessel.impacted = true;
    outcome.impacted = true;
  }
  return outcome;
}

}  // namespace zenthar
