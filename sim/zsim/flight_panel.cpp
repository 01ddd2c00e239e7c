#include "sim/zsim/flight_panel.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "sim/physics/attitude_control.h"
#include "sim/physics/physical_constants.h"
#include "sim/zsim/orbit.h"
#include "sim/zsim/pilot_keys.h"
#include "sim/zsim/printable.h"
// Last: ncurses' macros would rename what comes after it.
#include "sim/zsim/curses_library.h"

namespace zenthar::zsim {

namespace {

constexpr int kFirstHelpRow = 3;
constexpr int kFirstEventRow = 10;
constexpr double kOrbitSpeed = 100;  ///< m/s: slower than this, apsides tell nothing

std::string Format(const char* format, ...) {
  char text[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}

int Rows() {
  return *Curses().height;
}

int Columns() {
  return *Curses().width;
}

void Put(int row, int column, const std::string& text) {
  if (row < 0 || row >= Rows() || column >= Columns()) return;
  const CursesLibrary& curses = Curses();
  curses.putText(*curses.screen, row, column, text.c_str(), Columns() - column);
}

/// Three values to a row, in columns as wide as the screen allows.
void PutRow(int row, const std::string& a, const std::string& b, const std::string& c = "") {
  const int width = Columns() / 3 > 26 ? Columns() / 3 : 26;
  Put(row, 1, a);
  Put(row, 1 + width, b);
  Put(row, 1 + 2 * width, c);
}

const char* SteeringOf(const VesselState& vessel) {
  switch (vessel.attitudeMode) {
    case AttitudeMode::kAutopilot:
      if (vessel.target.given()) return "guidance";
      return HasAutopilot(vessel) ? "autopilot" : "held";
    case AttitudeMode::kPrograde:
      return "prograde hold";
    case AttitudeMode::kHeld:
      return "held";
  }
  return "";
}

std::string Bar(double fraction, int width) {
  const int full = static_cast<int>(std::lround(fraction * width));
  std::string bar = "[";
  for (int i = 0; i < width; ++i) bar += i < full ? '#' : '.';
  return bar + "]";
}

void PutVehicle(const World& world, const Flight& flight, const VesselState& vehicle) {
  const TelemetrySample sample =
      SampleOf(vehicle, world.planet, world.time(),
               world.frame() > 0 ? flight.telemetry().last().acceleration : 0);
  PutRow(3, Format("altitude %10.3f km", sample.altitude / 1000),
         Format("speed    %9.1f m/s", sample.speed),
         Format("vertical %9.1f m/s", sample.verticalSpeed));
  PutRow(4, Format("accel.   %10.2f g", sample.acceleration / kStandardGravity),
         Format("dyn. pr. %9.2f kPa", sample.dynamicPressure / 1000),
         std::isnan(sample.mach) ? "Mach           --" : Format("Mach     %9.2f", sample.mach));
  PutRow(5, Format("mass     %10.0f kg", sample.mass),
         Format("thrust   %9.1f kN", sample.thrust / 1000),
         Format("engine   %9.0f %%", vehicle.engineLevel[ENGINE_MAIN] * 100));
  const double capacity = vehicle.maxFuelMass;
  Put(6, 1,
      Format("propellant %s %9.0f kg",
             Bar(capacity > 0 ? sample.propellant / capacity : 0, 30).c_str(), sample.propellant));
  const NoseDirection nose = NoseOf(vehicle);
  PutRow(7, Format("nose     %10.1f deg", nose.elevation),
         Format("heading  %9.1f deg", nose.heading),
         std::string("steering ") + SteeringOf(vehicle));
  if (vehicle.landed || sample.speed < kOrbitSpeed) {
    PutRow(8, "apoapsis          --", "periapsis        --");
    return;
  }
  const OrbitShape orbit = OrbitOf(vehicle.position, vehicle.velocity, world.planet);
  PutRow(8,
         orbit.bound ? Format("apoapsis %10.1f km", orbit.apoapsisAltitude / 1000)
                     : std::string("apoapsis    escape"),
         Format("periapsis%9.1f km", orbit.periapsisAltitude / 1000),
         orbit.periapsisAltitude < 0 ? "(meets the ground)" : "");
}

void PutEvents(const Flight& flight, int firstRow, int lastRow) {
  const int rows = lastRow - firstRow + 1;
  if (rows <= 0) return;
  const std::vector<FlightEvent>& events = flight.log().events();
  // A line may tell of several events of one moment: from twice as many back is enough.
  const std::size_t from =
      events.size() > 2 * static_cast<std::size_t>(rows) ? events.size() - 2 * rows : 0;
  const std::vector<std::string> lines = TimelineLines(events, from);
  const std::size_t first = lines.size() > static_cast<std::size_t>(rows) ? lines.size() - rows : 0;
  for (std::size_t i = first; i < lines.size(); ++i)
    Put(firstRow + static_cast<int>(i - first), 1, lines[i]);
}

}  // namespace

void DrawPanel(const World& world, const Flight& flight, const PilotView& pilot) {
  const CursesLibrary& curses = Curses();
  curses.eraseWindow(*curses.screen);
  const std::string warp = std::isinf(pilot.warp) ? "max" : Format("%gx", pilot.warp);
  Put(0, 1,
      Format("T+%10.2f s   warp %-6s %-6s  ", world.time(), warp.c_str(),
             pilot.paused ? "PAUSED" : "") +
          Printable(pilot.scenario));
  const VesselState* focus = world.focus();
  PutRow(1, "focus " + (focus ? Printable(focus->name) : std::string("none")),
         std::string("phase ") + flight.log().phase());
  Put(2, 0, std::string(static_cast<std::size_t>(Columns()), '-'));
  if (pilot.help) {
    int row = kFirstHelpRow;
    for (const char* line : PilotKeyHelp()) Put(row++, 1, line);
  } else {
    if (const VesselState* vehicle = flight.log().vehicle()) PutVehicle(world, flight, *vehicle);
    Put(9, 0, std::string(static_cast<std::size_t>(Columns()), '-'));
    PutEvents(flight, kFirstEventRow, Rows() - 3);
  }
  Put(Rows() - 2, 1, pilot.message);
  curses.attributeOn(*curses.screen, A_REVERSE);
  Put(Rows() - 1, 0, std::string(" ") + PilotKeySummary());
  curses.attributeOff(*curses.screen, A_REVERSE);
  curses.refreshWindow(*curses.screen);
}

}  // namespace zenthar::zsim
