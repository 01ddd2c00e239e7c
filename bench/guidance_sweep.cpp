// Flies the guidance over a grid of targets, payloads and pads in the stand-in host and prints how
// close each satellite came to its target orbit: the accuracy table of docs/GUIDANCE.md. Then, for
// each pad and target, the heaviest satellite (SAT_MASS) the plan calls within reach.
//
//   guidance_sweep                   the whole grid and the payload table
//   guidance_sweep LAT KG P A [I]    one case (pad latitude, payload, target), with its events

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "sim/files/scenario_file.h"
#include "sim/guidance/autopilot.h"
#include "sim/guidance/orbit_geometry.h"
#include "sim/world/world.h"
#include "tests/support/project_world.h"

namespace {

using zenthar::HostEvent;
using zenthar::World;
using zenthar::guidance::Autopilot;
using zenthar::guidance::TargetOrbit;

const double kLongest = 200000;  // s of flight at most

struct Case {
  double latitude;  // deg
  double payload;   // kg
  TargetOrbit target;
};

struct Outcome {
  bool planned = false;   // the plan said it can be reached
  bool warned = false;    // a warning said it cannot, before the first frame
  bool released = false;  // the satellite left
  zenthar::guidance::Arrival arrival{};
  double propellant = 0;  // kg left in the core stage
  double deltaV = 0;      // m/s
  double flightTime = 0;  // s
  double wallTime = 0;    // ms
  std::string verdict;
};

std::string ScenarioOf(const Case& c) {
  std::ostringstream text;
  text << "BEGIN_ENVIRONMENT\nDT 0.01\nEND_ENVIRONMENT\n"
       << "BEGIN_VESSEL Vantor1:Vantor\nPAD " << c.latitude << " -52.8\n"
       << "TARGET_ORBIT " << c.target.LineValues() << "\n"
       << "CONFIGURATION 0\nSAT_OFS_X 0\nSAT_OFS_Y 0\nSAT_OFS_Z 23.5\nSAT_JETTISONED 0\n"
       << "SAT_NAME Relaysat\nSAT_MESH relaysat\nSAT_MASS " << c.payload << "\nEND_VESSEL\n";
  return text.str();
}

/// A world with the case's launcher, its guidance engaged.
void Load(World& world, const Case& c) {
  UseProjectFiles(world);
  std::istringstream in(ScenarioOf(c));
  std::string error;
  if (!zenthar::ReadScenario(world, in, "case", error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::exit(2);
  }
  world.EngageGuidance();
}

Outcome Fly(const Case& c, bool verbose) {
  Outcome outcome;
  const auto start = std::chrono::steady_clock::now();
  World world;
  Load(world, c);
  const Autopilot& pilot = *world.autopilot();
  outcome.planned = pilot.plan().reachable;
  for (const HostEvent& event : world.events())
    if (event.kind == "warning" && event.detail.find("beyond") != std::string::npos)
      outcome.warned = true;
  outcome.verdict = pilot.plan().verdict;
  while (pilot.phase() != Autopilot::Phase::kDone && world.time() < kLongest) world.Step();
  outcome.flightTime = world.time();
  outcome.propellant = world.Launcher()->fuelMass;
  outcome.deltaV = pilot.deltaV();
  if (const zenthar::VesselState* satellite = pilot.satellite()) {
    outcome.released = true;
    outcome.arrival = zenthar::guidance::ArrivalOf(satellite->position, satellite->velocity,
                                                   c.target, world.planet.radius, world.planet.gm);
  }
  if (verbose)
    for (const HostEvent& event : world.events())
      std::printf("  T+%9.2f %-16s %s %s\n", event.time, event.kind.c_str(), event.vessel.c_str(),
                  event.detail.c_str());
  outcome.wallTime =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() * 1000;
  return outcome;
}

/// The worst errors over the cases the plan called reachable, and the misses.
struct Summary {
  int reachable = 0, unreachable = 0, missed = 0, unreachableSaid = 0;
  double periapsis = 0, apoapsis = 0, inclination = 0;  // km, km, deg
  double wallTime = 0;                                  // ms

  void Add(const Outcome& o) {
    wallTime += o.wallTime;
    if (!o.planned) {
      ++unreachable;
      if (o.warned) ++unreachableSaid;
      return;
    }
    ++reachable;
    if (!o.released || !o.arrival.reached) ++missed;
    if (!o.released) return;
    periapsis = std::fmax(periapsis, std::fabs(o.arrival.periapsisError));
    apoapsis = std::fmax(apoapsis, std::fabs(o.arrival.apoapsisError));
    inclination = std::fmax(inclination, std::fabs(o.arrival.inclinationError));
  }
  void Print() const {
    std::printf(
        "\n%d reachable cases: worst errors periapsis %.1f m, apoapsis %.1f m, inclination "
        "%.4f deg; %d beyond 2 km / 0.1 deg or not released\n",
        reachable, periapsis * 1000, apoapsis * 1000, inclination, missed);
    std::printf("%d cases beyond reach, %d of them said so before launch\n", unreachable,
                unreachableSaid);
    std::printf("%.0f ms for %d flights, %.0f ms each\n", wallTime, reachable + unreachable,
                wallTime / (reachable + unreachable));
  }
};

void Print(const Case& c, const Outcome& o) {
  const std::string inclination =
      c.target.HasInclination() ? std::to_string(c.target.inclination).substr(0, 5) : "-";
  std::printf("%5.1f %6.0f %6.0f x %-6.0f %6s | %-5s %9.1f %9.1f %9.4f %8.0f %7.0f %8.0f %7.0f\n",
              c.latitude, c.payload, c.target.periapsisAltitude, c.target.apoapsisAltitude,
              inclination.c_str(), o.planned ? "yes" : "NO", o.arrival.periapsisError * 1000,
              o.arrival.apoapsisError * 1000, o.arrival.inclinationError, o.propellant, o.deltaV,
              o.flightTime, o.wallTime);
  if (!o.planned || !o.released) std::printf("      %s\n", o.verdict.c_str());
}

/// kg: the heaviest satellite, to 10 kg, that the plan calls within reach; -1 when not even none.
double HeaviestPayload(double latitude, const TargetOrbit& target) {
  const auto reachable = [&](double payload) {
    World world;
    Load(world, {latitude, payload, target});
    return world.autopilot()->plan().reachable;
  };
  if (!reachable(0)) return -1;
  double low = 0, high = 40000;  // kg
  while (high - low > 10) {
    const double middle = 0.5 * (low + high);
    (reachable(middle) ? low : high) = middle;
  }
  return low;
}

}  // namespace

int main(int argc, char** argv) {
  std::printf(
      "  lat     kg  target km       incl | reach  dperi_m   dapo_m   dincl_deg  prop_kg  dv_m_s "
      "flight_s wall_ms\n");
  if (argc >= 5) {
    Case c{std::atof(argv[1]), std::atof(argv[2]), {}};
    c.target.periapsisAltitude = std::atof(argv[3]);
    c.target.apoapsisAltitude = std::atof(argv[4]);
    if (argc >= 6) c.target.inclination = std::atof(argv[5]);
    const Outcome o = Fly(c, true);
    Print(c, o);
    std::printf("      %s\n", o.verdict.c_str());
    return 0;
  }
  // Every target, payload and pad with the pad's own inclination; then inclinations from the
  // lowest the pad allows to retrograde, and some below it, at the extreme payloads.
  const double latitudes[] = {5, 28.5, 45};
  const double payloads[] = {0, 950, 5000, 10000};
  const double orbits[][2] = {{250, 250}, {500, 500}, {1000, 1000}, {2000, 2000}, {300, 1000}};
  std::vector<Case> cases;
  for (double latitude : latitudes)
    for (const auto& orbit : orbits)
      for (double payload : payloads)
        cases.push_back({latitude, payload, {orbit[0], orbit[1], -1}});
  for (double latitude : latitudes)
    for (double inclination : {latitude, 51.6, 90.0, 98.0})
      for (const auto& orbit : orbits)
        for (double payload : {0.0, 10000.0})
          cases.push_back({latitude, payload, {orbit[0], orbit[1], inclination}});
  for (double latitude : {28.5, 45.0}) cases.push_back({latitude, 950, {500, 500, latitude - 10}});

  Summary summary;
  for (const Case& c : cases) {
    const Outcome o = Fly(c, false);
    Print(c, o);
    summary.Add(o);
  }
  summary.Print();

  std::printf("\nHeaviest satellite within reach (kg), the pad's own inclination:\n");
  std::printf("  lat | 250 x 250  500 x 500  1000 x 1000  2000 x 2000  300 x 1000\n");
  for (double latitude : latitudes) {
    std::printf("%5.1f |", latitude);
    for (const auto& orbit : orbits)
      std::printf(" %10.0f", HeaviestPayload(latitude, {orbit[0], orbit[1], -1}));
    std::printf("\n");
  }
  return 0;
}
