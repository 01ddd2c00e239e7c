#include "sim/physics/physics.h"

#include <cmath>

#include "sim/physics/atmosphere.h"
#include "sim/physics/ground.h"
#include "sim/physics/physical_constants.h"
#include "sim/physics/steering.h"

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

/// kg/s of propellant an engine thrust (N, before the modifier) takes from the vessel's tank.
double FlowOf(const VesselState& vessel, double engineThrust) {
  return engineThrust > 0 && vessel.isp > 0 ? engineThrust / vessel.isp : 0;
}

double CombinedThrust(double engineThrust, double modifier) {
  const double thrust = engineThrust + modifier;
  return thrust > 0 ? thrust : 0;
}

/// The air's grip on the vessel along each of its axes, k_i = 1/2 rho cw_i A_i (kg/m), and the
/// velocity relative to the air in the vessel frame, u (m/s): the drag force is -|u| k_i u_i along
/// each axis, so motion along an axis meets exactly that axis's cw x A.
struct AirGrip {
  VECTOR3 k{0, 0, 0};  ///< kg/m, along the vessel's x, y and z axes
  VECTOR3 u{0, 0, 0};  ///< m/s, vessel frame
  double speed = 0;    ///< m/s, |u|
};

AirGrip GripOf(const Matrix3& attitude, const VECTOR3& air_I, double density, const double cw[4],
               const VECTOR3& area) {
  AirGrip grip;
  if (density <= 0) return grip;
  grip.u = TransposeTimes(attitude, air_I);
  grip.speed = Length(grip.u);
  if (grip.speed == 0) return grip;
  const double cz = grip.u.z > 0 ? cw[0] : cw[1];
  const double half = 0.5 * density;
  grip.k = {half * cw[2] * area.x, half * cw[3] * area.y, half * cz * area.z};
  return grip;
}

/// One drift-kick-drift (position Verlet) stretch of length h (s) with a constant drive. Gravity is
/// taken at the midpoint position, thrust over the midpoint mass (the mass falls linearly), drag
/// from the position and velocity at the start of the stretch.
void Advance(VesselState& vessel, const Planet& planet, double h, const Drive& drive,
             const VECTOR3& direction) {
  if (h <= 0) return;
  const VECTOR3 mid = vessel.position + (0.5 * h) * vessel.velocity;
  const double r2 = Dot(mid, mid);
  const double r = std::sqrt(r2);
  VECTOR3 acceleration = (-planet.gm / (r2 * r)) * mid;        // m/s^2
  const double mass = vessel.Mass() - drive.flow * (0.5 * h);  // kg, at the midpoint
  if (mass > 0) {
    const double thrust = CombinedThrust(drive.engineThrust, vessel.mainThrustMod);
    acceleration = acceleration + (thrust / mass) * direction;
    if (vessel.atmDensity > 0)
      acceleration =
          acceleration + DragAcceleration(vessel.attitude,
                                          planet.AirVelocity(vessel.position, vessel.velocity),
                                          vessel.atmDensity, vessel.cw, DragAreas(vessel), mass, h);
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
  const AtmosphereSample& air = vessel.air.At(Altitude(vessel, planet));
  vessel.atmPressure = air.pressure;
  vessel.atmDensity = air.density;
  vessel.atmTemperature = air.temperature;
}

double MainThrust(const VesselState& vessel) {
  return CombinedThrust(EngineThrust(vessel), vessel.mainThrustMod);
}

double MainFlow(const VesselState& vessel) {
  return FlowOf(vessel, EngineThrust(vessel));
}

VECTOR3 DragAreas(const VesselState& vessel) {
  if (!vessel.sizedDrag) return vessel.crossSections;
  const double sized = kPi * vessel.size * vessel.size;
  return {sized, sized, sized};
}

VECTOR3 DragAcceleration(const Matrix3& attitude, const VECTOR3& air_I, double density,
                         const double cw[4], const VECTOR3& area, double mass, double h) {
  const AirGrip grip = GripOf(attitude, air_I, density, cw, area);
  if (grip.speed == 0) return {0, 0, 0};
  const auto rate = [&](double k) {  // 1/s
    const double r = k * grip.speed / mass;
    return r * h > 1 ? 1 / h : r;
  };
  const VECTOR3 body{-rate(grip.k.x) * grip.u.x, -rate(grip.k.y) * grip.u.y,
                     -rate(grip.k.z) * grip.u.z};
  return attitude * body;
}

VECTOR3 DragForce(const VesselState& vessel, const Planet& planet) {
  const AirGrip grip = GripOf(vessel.attitude, planet.AirVelocity(vessel.position, vessel.velocity),
                              vessel.atmDensity, vessel.cw, DragAreas(vessel));
  const VECTOR3 body{-grip.speed * grip.k.x * grip.u.x, -grip.speed * grip.k.y * grip.u.y,
                     -grip.speed * grip.k.z * grip.u.z};
  return vessel.attitude * body;
}

StepOutcome Integrate(VesselState& vessel, const Planet& planet, double t, double dt) {
  const double engineThrust = EngineThrust(vessel);
  const double flow = FlowOf(vessel, engineThrust);  // kg/s
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

  bool liftedOff = false;
  if (vessel.landed) {
    if (!ThrustLiftsOff(vessel, planet)) {
      FollowGround(vessel, planet, t + dt);
      vessel.fuelMass = runsDry ? 0.0 : vessel.fuelMass - flow * dt;
      return StepOutcome{runsDry, false, false};
    }
    vessel.landed = false;
    liftedOff = true;
    // A pitch program's heading is the launch azimuth where the vessel leaves the ground.
    if (!vessel.pitch.points.empty())
      vessel.pitch.plane = LaunchPlaneNormal(vessel.position, vessel.pitch.heading);
  }

  const VECTOR3 direction = ThrustDirection(vessel);
  if (runsDry) {
    // Split the step where the tank runs dry, so the engine's thrust stops exactly with it.
    Advance(vessel, planet, burn, Drive{engineThrust, flow}, direction);
    vessel.fuelMass = 0.0;
    Advance(vessel, planet, dt - burn, Drive{0, 0}, direction);
  } else {
    Advance(vessel, planet, dt, Drive{engineThrust, flow}, direction);
    vessel.fuelMass -= flow * dt;
  }

  // Touching the ground while not climbing away from it ends the flight where it stands.
  const double contact = ContactAltitude(vessel, planet);
  bool impacted = false;
  if (contact <= 0 && Dot(vessel.velocity, vessel.position) <= 0) {
    const double r = Length(vessel.position);
    vessel.position = ((r - contact) / r) * vessel.position;
    AnchorToGround(vessel, planet, t + dt);  // at rest on the turning ground from now on
    vessel.velocity = planet.SurfaceVelocity(vessel.position);
    vessel.landed = true;
    vessel.impacted = true;
    impacted = true;
  }
  return StepOutcome{runsDry, impacted, liftedOff};
}

}  // namespace zenthar
