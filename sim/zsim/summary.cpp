#include "sim/zsim/summary.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "sim/guidance/autopilot.h"
#include "sim/guidance/orbit_geometry.h"
#include "sim/physics/atmosphere.h"
#include "sim/physics/physical_constants.h"
#include "sim/physics/physics.h"
#include "sim/zsim/orbit.h"
#include "sim/zsim/printable.h"

namespace zenthar::zsim {

namespace {

/// Appends formatted text, however long its names are.
void Append(std::string& text, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  if (length > 0) {
    const std::size_t end = text.size();
    text.resize(end + static_cast<std::size_t>(length) + 1);
    std::vsnprintf(&text[end], static_cast<std::size_t>(length) + 1, format, again);
    text.resize(end + static_cast<std::size_t>(length));
  }
  va_end(again);
}

const char* StateOf(const VesselState& vessel) {
  if (vessel.impacted) return "impacted";
  return vessel.landed ? "landed" : "flying";
}

void AppendOrbit(std::string& text, const VesselState& vessel, const Planet& planet) {
  const double altitude = Altitude(vessel, planet);
  const std::string name = Printable(vessel.name);
  if (vessel.landed) {
    Append(text, "%s is on the ground: no orbit to give\n", name.c_str());
    return;
  }
  if (StandardAtmosphere(altitude).density > 0) {
    Append(text, "%s is within the atmosphere (altitude %.1f km): no orbit to give\n", name.c_str(),
           altitude / 1000);
    return;
  }
  const OrbitShape orbit = OrbitOf(vessel.position, vessel.velocity, planet);
  Append(text, "Orbit of %s: periapsis %.1f km, ", name.c_str(), orbit.periapsisAltitude / 1000);
  if (!orbit.bound)
    Append(text, "no apoapsis: an escape path (eccentricity %.4f)\n", orbit.eccentricity);
  else
    Append(text, "apoapsis %.1f km (eccentricity %.4f), inclination %.2f deg, period %.1f min%s\n",
           orbit.apoapsisAltitude / 1000, orbit.eccentricity, orbit.inclination / kDegree,
           orbit.period / 60,
           orbit.periapsisAltitude < 0 ? "; periapsis below the surface: it comes down" : "");
}

/// Where each body that came down during the flight came down, from its impact event.
void AppendImpacts(std::string& text, const std::vector<FlightEvent>& events) {
  bool any = false;
  for (const FlightEvent& event : events) {
    if (event.kind != "impact") continue;
    if (!any) text += "Came down\n";
    any = true;
    Append(text, "  %-30s at T+%8.2f s  %6.2f%c %7.2f%c\n", Printable(event.vessel).c_str(),
           event.time, std::fabs(event.latitude), event.latitude < 0 ? 'S' : 'N',
           std::fabs(event.longitude), event.longitude < 0 ? 'W' : 'E');
  }
  if (any) text += "\n";
}

/// What the guidance was asked for and what it did: the target against the satellite's orbit, the
/// payload, the propellant left in the core stage, the delta-v spent.
void AppendMission(std::string& text, const World& world, const VesselState& launcher,
                   const guidance::Autopilot& autopilot) {
  using guidance::Autopilot;
  const guidance::TargetOrbit& target = autopilot.target();
  Append(text, "\nMission to %s\n", target.Text().c_str());
  Append(text, "  Plan           %s\n", Printable(autopilot.plan().verdict).c_str());
  const VesselState* satellite = autopilot.satellite();
  if (!satellite) {
    Append(text, "  Satellite      still aboard: target not reached (guidance %s at T+%.2f s)\n",
           Autopilot::PhaseName(autopilot.phase()), world.time());
  } else {
    const guidance::Arrival arrival = guidance::ArrivalOf(
        satellite->position, satellite->velocity, target, world.planet.radius, world.planet.gm);
    Append(text, "  Satellite      %s in %s: %s\n", Printable(satellite->name).c_str(),
           guidance::ArrivalText(arrival, target).c_str(),
           arrival.reached ? "target reached" : "target not reached");
    Append(text, "  Payload        %.0f kg carried (SAT_MASS); %s has its class's %.0f kg\n",
           autopilot.payload(), Printable(satellite->name).c_str(), satellite->Mass());
  }
  if (!satellite)
    Append(text, "  Payload        %.0f kg carried (SAT_MASS)\n", autopilot.payload());
  Append(text, "  Core stage     %.0f kg of propellant left\n", launcher.fuelMass);
  Append(text, "  Delta-v spent  %.0f m/s\n", autopilot.deltaV());
}

}  // namespace

std::string FlightSummary(const World& world, const std::string& scenario, const EventLog& log,
                          const Telemetry& telemetry, const std::string& stoppedBy) {
  std::string text;
  Append(text, "Flight of %s: T+0 to T+%.2f s in frames of %g s", Printable(scenario).c_str(),
         world.time(), world.dt);
  text += stoppedBy.empty() ? "\n\n" : " (stopped early by " + stoppedBy + ")\n\n";

  const Peak& q = telemetry.maxDynamicPressure();
  const Peak& a = telemetry.maxAcceleration();
  if (q.value > 0)
    Append(text,
           "Maximum dynamic pressure %8.2f kPa            at T+%8.2f s  (altitude %.1f km, "
           "speed %.1f m/s)\n",
           q.value / 1000, q.time, q.altitude / 1000, q.speed);
  else
    text += "Maximum dynamic pressure     none: the flight met no air\n";
  Append(text,
         "Maximum acceleration     %8.2f m/s^2 (%.2f g)  at T+%8.2f s  (altitude %.1f km, "
         "speed %.1f m/s)\n\n",
         a.value, a.value / kStandardGravity, a.time, a.altitude / 1000, a.speed);

  text += "Events\n";
  for (const std::string& line : TimelineLines(log.events(), 0)) text += "  " + line + "\n";

  Append(text, "\nVessels at T+%.2f s\n", world.time());
  for (const auto& vessel : world.vessels())
    Append(text, "  %-30s %-20s %-9s alt %8.1f km  v %7.1f m/s  m %8.0f kg\n",
           Printable(vessel->name).c_str(), Printable(vessel->className).c_str(), StateOf(*vessel),
           Altitude(*vessel, world.planet) / 1000, Length(vessel->velocity), vessel->Mass());

  text += "\n";
  AppendImpacts(text, log.events());
  const VesselState* vehicle = log.vehicle();
  const VesselState* launcher = world.Launcher();
  if (launcher && launcher != vehicle) AppendOrbit(text, *launcher, world.planet);
  if (vehicle) AppendOrbit(text, *vehicle, world.planet);
  if (launcher && world.autopilot()) AppendMission(text, world, *launcher, *world.autopilot());
  return text;
}

}  // namespace zenthar::zsim
