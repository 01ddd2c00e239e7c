#include "sim/zsim/capability.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "sim/files/text_format.h"
#include "sim/files/whole_file.h"
#include "sim/guidance/orbit_geometry.h"
#include "sim/guidance/target_orbit.h"
#include "sim/world/host_limits.h"
#include "sim/zsim/child_processes.h"
#include "sim/zsim/csv_field.h"
#include "sim/zsim/flight_signals.h"
#include "sim/zsim/messages.h"
#include "sim/zsim/plot.h"
#include "sim/zsim/printable.h"
#include "sim/zsim/sweep_scenario.h"
#include "sim/zsim/sweep_table.h"

namespace zenthar::zsim {

namespace {

/// kg: the first satellite tried once the launch has been seen to reach its orbit with none; the
/// search doubles it until a flight misses.
const double kFirstTry = 1000;

/// One target orbit's search: every flight flown so far, and the bracket they make.
struct Search {
  std::string asked;  ///< as --orbits gives it
  guidance::TargetOrbit target;
  std::vector<std::pair<double, bool>> flown;  ///< kg, and whether the target was reached
  double reached = -1;                         ///< kg, the heaviest reached below `missed`
  double missed = INFINITY;                    ///< kg, the lightest missed
  bool done = false;
  std::string note;  ///< why the search ended without a bracket, or empty

  /// The bracket the flights make, the lightest miss first: a heavier satellite that happened to
  /// arrive above a miss does not count.
  void Update() {
    missed = INFINITY;
    for (const auto& [mass, ok] : flown)
      if (!ok) missed = std::min(missed, mass);
    reached = -1;
    for (const auto& [mass, ok] : flown)
      if (ok && mass < missed) reached = std::max(reached, mass);
  }
};

/// "500" is 500 x 500 km; "500@51.6" that inclined; "PxA[@I]" as zsim fly --target takes it.
bool ReadOrbit(const std::string& text, guidance::TargetOrbit& target, std::string& error) {
  std::string full = text;
  if (text.find('x') == std::string::npos) {
    const std::size_t at = text.find('@');
    const std::string altitude = text.substr(0, at);
    full = altitude + "x" + altitude + (at == std::string::npos ? "" : text.substr(at));
  }
  if (guidance::ParseTargetOrbit(full, target, error)) return true;
  error = "--orbits " + text + ": " + error;
  return false;
}

/// The masses to fly next for a search given `slots` flights: with no flight yet, none and the
/// first tries; with no miss yet, the next doublings; else points spread evenly inside the
/// bracket, on the resolution's grid. Empty when the search is over.
std::vector<double> NextMasses(Search& search, std::size_t slots, double resolution) {
  std::vector<double> masses;
  if (search.flown.empty()) {
    masses.push_back(0);
    for (double mass = kFirstTry; masses.size() < slots; mass *= 2) masses.push_back(mass);
    return masses;
  }
  if (search.reached < 0) {
    search.note = "not reached even without a satellite";
    return masses;
  }
  if (search.missed == INFINITY) {
    double mass = std::max(kFirstTry, 2 * search.reached);
    for (; masses.size() < slots && mass <= kMass.max; mass *= 2) masses.push_back(mass);
    if (masses.empty())
      search.note = "reached with " + ShortNumber(search.reached) + " kg: is a satellite aboard?";
    return masses;
  }
  const double width = search.missed - search.reached;
  for (std::size_t i = 1; i <= slots && width > resolution; ++i) {
    const double mass = std::round((search.reached + width * static_cast<double>(i) /
                                                         static_cast<double>(slots + 1)) /
                                   resolution) *
                        resolution;
    if (mass > search.reached && mass < search.missed && (masses.empty() || mass > masses.back()))
      masses.push_back(mass);
  }
  return masses;
}

std::string Number(double value) {
  return std::isfinite(value) && value >= 0 ? ShortNumber(value) : "";
}

std::string CapabilityCsv(const std::vector<Search>& searches) {
  std::string csv =
      "target,periapsis_km,apoapsis_km,inclination_deg,payload_kg,missed_at_kg,flights,note\n";
  for (const Search& search : searches) {
    const guidance::TargetOrbit& target = search.target;
    AppendCsvField(csv, search.asked);
    csv += "," + ShortNumber(target.periapsisAltitude) + "," +
           ShortNumber(target.apoapsisAltitude) + "," +
           (target.HasInclination() ? ShortNumber(target.inclination) : "") + "," +
           Number(search.reached) + "," + Number(search.missed) + "," +
           std::to_string(search.flown.size()) + ",";
    AppendCsvField(csv, search.note);
    csv += "\n";
  }
  return csv;
}

void PrintTable(const std::vector<Search>& searches, const std::string& scenario) {
  std::printf("Heaviest satellite into each orbit, %s, within %g km of each apsis and %g deg:\n",
              Printable(scenario).c_str(), guidance::kApsisGoal / 1000, guidance::kInclinationGoal);
  std::printf("  %-28s %12s %14s %8s\n", "target", "payload", "missed at", "flights");
  for (const Search& search : searches) {
    const std::string payload = search.reached >= 0 ? Number(search.reached) + " kg" : "none";
    const std::string missed = std::isfinite(search.missed) ? Number(search.missed) + " kg" : "";
    std::printf("  %-28s %12s %14s %8zu  %s\n", search.target.Text().c_str(), payload.c_str(),
                missed.c_str(), search.flown.size(), Printable(search.note).c_str());
  }
}

/// The orbits joined by a line in the chart: circular ones, or ones of one periapsis, of one
/// inclination.
std::string FamilyOf(const guidance::TargetOrbit& target) {
  return (target.periapsisAltitude == target.apoapsisAltitude
              ? std::string("circular")
              : ShortNumber(target.periapsisAltitude)) +
         "@" + (target.HasInclination() ? ShortNumber(target.inclination) : "");
}

/// capability.png: the payload against the target's apoapsis altitude, each point named, the
/// points of a family joined.
PlotOutcome DrawChart(const std::string& folder, std::vector<Search> searches,
                      const std::string& title, std::string& message) {
  std::stable_sort(searches.begin(), searches.end(), [](const Search& a, const Search& b) {
    const std::string familyA = FamilyOf(a.target), familyB = FamilyOf(b.target);
    return familyA != familyB ? familyA < familyB
                              : a.target.apoapsisAltitude < b.target.apoapsisAltitude;
  });
  std::string data;
  std::string labels;
  std::string family;
  int label = 0;
  for (const Search& search : searches) {
    if (search.reached < 0) continue;
    // A blank line ends gnuplot's line.
    if (!data.empty() && FamilyOf(search.target) != family) data += "\n";
    family = FamilyOf(search.target);
    const std::string x = ShortNumber(search.target.apoapsisAltitude);
    const std::string y = ShortNumber(search.reached / 1000);
    data += x + " " + y + "\n";
    labels += "set label " + std::to_string(++label) + " " + GnuplotText({search.target.Text()}) +
              " at first " + x + ", first " + y + " offset 0,1.2 center\n";
  }
  if (data.empty()) {
    message = "no orbit reached";
    return PlotOutcome::kFailed;
  }
  std::string script = "set terminal pngcairo noenhanced size 1000,650 font 'Sans,11'\n";
  script += "set output 'capability.png'\n";
  script += "set title " + GnuplotText({title}) + " font ',14'\n";
  script += "set xlabel 'target apoapsis altitude (km)'\nset ylabel 'heaviest satellite (t)'\n";
  script +=
      "set grid lc rgb '#dddddd'\nunset key\nset offsets graph 0.08, graph 0.08, graph "
      "0.15, graph 0.05\n";
  script += labels;
  script += "plot 'capability.dat' using 1:2 with linespoints pt 7 ps 1.3 lw 2 lc rgb '#1f77b4'\n";
  return DrawFromData(folder, "capability.dat", data, script, "capability.png", message);
}

}  // namespace

int Capability(const CapabilityOptions& options) {
  std::vector<Search> searches;
  std::string error;
  for (const std::string& text : options.orbits) {
    Search search;
    search.asked = text;
    if (!ReadOrbit(text, search.target, error)) return Fail(error, kExitBadCommandLine);
    searches.push_back(search);
  }
  std::vector<ScenarioInput> inputs(2);
  if (!ReadScenarioInput("TARGET_ORBIT", inputs[0], error) ||
      !ReadScenarioInput("SAT_MASS", inputs[1], error))
    return Fail(error);
  SweepFlying flying;
  flying.scenario = options.scenario;
  flying.module = options.module;
  flying.classFolder = options.classFolder;
  flying.out = options.out;
  SweepScenario scenario;
  if (!scenario.Prepare(flying, error)) return Fail(error);
  const std::vector<std::string> first = {searches.front().target.LineValues(), "0"};
  if (!scenario.CanSetUp(inputs, first, error)) return Fail(error);

  const int workers = options.jobs > 0
                          ? options.jobs
                          : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  const FlightSignals signals;
  std::vector<SweepRowRead> rows;  // every flight, for flights.csv
  struct Flight {
    std::size_t search;
    double mass;  ///< kg
    std::vector<std::string> values;
  };
  for (int round = 1;; ++round) {
    std::size_t open = 0;
    for (const Search& search : searches) open += !search.done;
    std::vector<Flight> flights;
    for (std::size_t s = 0; s < searches.size(); ++s) {
      if (searches[s].done) continue;
      const std::size_t slots = std::max<std::size_t>(1, workers / std::max<std::size_t>(open, 1));
      const std::vector<double> masses = NextMasses(searches[s], slots, options.resolution);
      if (masses.empty()) searches[s].done = true;
      for (double mass : masses)
        flights.push_back({s, mass, {searches[s].target.LineValues(), ShortNumber(mass)}});
    }
    if (flights.empty()) break;
    std::vector<std::size_t> jobs(flights.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) jobs[i] = i;
    const std::size_t numbered = rows.size();
    std::string failed;
    const auto work = [&](std::size_t job) {
      return scenario.FlyRow(inputs, flights[job].values, numbered + job + 1);
    };
    const auto done = [&](std::size_t job, const ChildEnd& end) {
      std::string row = RowOf(end, numbered + job + 1, flights[job].values);
      if (!row.empty()) row.pop_back();  // its line end
      const std::vector<std::string> fields = CsvFields(row);
      // flight, TARGET_ORBIT, SAT_MASS, result, reached_target, ..., why
      if (!RowFlown(row, inputs.size())) {
        failed = "the flight of " + flights[job].values[1] + " kg to " +
                 searches[flights[job].search].target.Text() +
                 " failed: " + (row.empty() ? "its process was ended" : fields.back());
        return false;
      }
      const std::size_t reached = 2 + inputs.size();  // reached_target's column
      searches[flights[job].search].flown.push_back(
          {flights[job].mass, fields.size() > reached && fields[reached] == "yes"});
      rows.push_back({numbered + job + 1, fields, row, 0});
      return true;
    };
    const int status = ChildProcesses::Run(jobs, workers, work, done);
    if (status > 0)
      return Fail("stopped by " + std::string(FlightSignals::NameOf(status)),
                  kExitStoppedBySignal + status);
    if (status < 0) return Fail(failed);
    for (Search& search : searches) search.Update();
    if (!options.quiet) {
      std::printf("round %d: %zu flights;", round, flights.size());
      for (const Search& search : searches)
        if (!search.done)
          std::printf(" %s: %s to %s kg;", search.target.Text().c_str(),
                      Number(search.reached).c_str(),
                      std::isfinite(search.missed) ? Number(search.missed).c_str() : "?");
      std::printf("\n");
      std::fflush(stdout);
    }
  }

  std::error_code ignored;
  std::filesystem::create_directories(options.out, ignored);
  const std::string header = SweepHeader({"TARGET_ORBIT", "SAT_MASS"});
  if (!ReplaceFile(options.out + "/capability.csv", CapabilityCsv(searches), error) ||
      !WriteSweepFile(options.out + "/flights.csv", header, rows, error))
    return Fail(error);
  PrintTable(searches, options.scenario);
  std::string message;
  const PlotOutcome chart =
      DrawChart(options.out, searches, "Payload to orbit: " + BaseName(options.scenario), message);
  if (chart == PlotOutcome::kNoGnuplot)
    Fail("gnuplot not found on PATH, so no capability.png (Debian package gnuplot-nox)");
  else if (chart != PlotOutcome::kDrawn)
    Fail(message + ", so no capability.png");
  if (!options.quiet)
    std::printf("Files in %s/: capability.csv, flights.csv%s\n", Printable(options.out).c_str(),
                chart == PlotOutcome::kDrawn ? ", capability.png" : "");
  return kExitFlown;
}

}  // namespace zenthar::zsim
