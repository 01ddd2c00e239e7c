// zsim sweep as a user runs it: its rows are the flights' own, a sweep stopped and started again
// flies only what is missing, a sweep planned and run by GNU parallel makes the same sweep.csv,
// and bad inputs are refused before anything flies; zsim capability finds the heaviest satellite
// that reaches an orbit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/flight_run.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kOpenLoop = std::string(VANTOR_SCENARIOS_DIR) + "/open_loop.scn";

struct Outcome {
  int status;
  std::string err;
};

Outcome Zsim(const TempFolder& folder, const std::string& arguments) {
  const std::string err = folder / ".stderr";
  const std::string line = "cd '" + folder.path() + "' && '" + ZSIM_PATH + "' " + arguments +
                           " >/dev/null 2>'" + err + "'";
  const int raw = std::system(line.c_str());
  Outcome outcome{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadTextFile(err)};
  std::remove(err.c_str());
  return outcome;
}

/// zsim started with these arguments in the folder, its output to nowhere; its process id.
pid_t Start(const TempFolder& folder, std::vector<std::string> arguments) {
  const pid_t child = fork();
  if (child != 0) return child;
  const int nowhere = open("/dev/null", O_WRONLY);
  if (chdir(folder.path().c_str()) != 0 || nowhere < 0) _exit(127);
  dup2(nowhere, STDOUT_FILENO);
  dup2(nowhere, STDERR_FILENO);
  std::vector<char*> argv{const_cast<char*>(ZSIM_PATH)};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  execv(ZSIM_PATH, argv.data());
  _exit(127);
}

/// A file's text, empty while there is none.
std::string TextOf(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

/// A CSV line's fields; the sweep's fields hold no quotes in these tests.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line)
    if (c == ',')
      fields.emplace_back();
    else
      fields.back() += c;
  return fields;
}

/// sweep.csv as rows of named fields.
std::vector<std::map<std::string, std::string>> SweepRows(const std::string& path) {
  const std::vector<std::string> lines = Lines(ReadTextFile(path));
  std::vector<std::map<std::string, std::string>> rows;
  if (lines.empty()) return rows;
  const std::vector<std::string> names = Fields(lines[0]);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> fields = Fields(lines[i]);
    std::map<std::string, std::string> row;
    for (std::size_t k = 0; k < names.size() && k < fields.size(); ++k) row[names[k]] = fields[k];
    rows.push_back(row);
  }
  return rows;
}

double Number(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

/// The number after `label` on the first line of the text that holds it.
double NumberAfter(const std::string& text, const std::string& label) {
  const std::size_t at = text.find(label);
  return at == std::string::npos ? NAN : Number(text.substr(at + label.size()));
}

/// The time of the first event of a vessel in events.csv whose detail is given.
std::string EventTime(const std::string& eventsCsv, const std::string& vessel) {
  for (const std::string& line : Lines(eventsCsv)) {
    const std::vector<std::string> fields = Fields(line);
    if (fields.size() > 2 && fields[1] == "vessel_created" && fields[2] == vessel) return fields[0];
  }
  return "";
}

TEST(ZsimSweep, GridRowsAreTheFlightsFlownOneByOne) {
  TempFolder folder;
  const Outcome sweep = Zsim(folder, "sweep '" + kOpenLoop +
                                         "' --vary SAT_MASS=500:1500:1000 --vary KEY:J=100,140 "
                                         "-j 2 --out grid --quiet");
  ASSERT_EQ(sweep.status, 0) << sweep.err;
  const auto rows = SweepRows(folder / "grid/sweep.csv");
  ASSERT_EQ(rows.size(), 4u);
  const std::string scenario = ReadTextFile(kOpenLoop);
  for (const auto& row : rows) {
    // The flight as a user writes it: the scenario's lines changed by hand, flown by zsim fly.
    std::string text = scenario;
    text.replace(text.find("SAT_MASS 950"), 12, "SAT_MASS " + row.at("SAT_MASS"));
    text.replace(text.find("KEYS 5:E"), 8, "KEYS 5:E," + row.at("KEY:J") + ":J");
    const std::string name = "flight" + row.at("flight");
    std::ofstream(folder / (name + ".scn")) << text;
    const Outcome fly = Zsim(folder, "fly " + name + ".scn --no-plot --out " + name);
    ASSERT_EQ(fly.status, 0) << fly.err;
    const std::string summary = ReadTextFile(folder / (name + "/summary.txt"));
    const std::string events = ReadTextFile(folder / (name + "/events.csv"));
    SCOPED_TRACE(name);
    EXPECT_EQ(row.at("result"), "flown");
    // To half a unit of the summary's last digit; the event times as events.csv writes them.
    const std::string orbit = summary.substr(summary.find("Orbit of Vantor1-Sat: "));
    EXPECT_NEAR(Number(row.at("periapsis_km")), NumberAfter(orbit, "periapsis "), 0.05);
    EXPECT_NEAR(Number(row.at("apoapsis_km")), NumberAfter(orbit, "apoapsis "), 0.05);
    EXPECT_NEAR(Number(row.at("inclination_deg")), NumberAfter(orbit, "inclination "), 0.005);
    EXPECT_NEAR(Number(row.at("max_q_kPa")), NumberAfter(summary, "Maximum dynamic pressure"),
                0.005);
    EXPECT_EQ(row.at("booster_separation_s"), EventTime(events, "Vantor1-Stage_LeftBooster"));
    EXPECT_EQ(row.at("fairing_jettison_s"), EventTime(events, "Vantor1-Stage_LeftPayload"));
    EXPECT_EQ(row.at("satellite_release_s"), EventTime(events, "Vantor1-Sat"));
  }
  EXPECT_TRUE(std::filesystem::exists(folder / "grid/sweep.png"));
}

TEST(ZsimSweep, StoppedSweepFliesOnlyWhatIsMissing) {
  TempFolder folder;
  const std::string sweep =
      "sweep '" + kOpenLoop + "' --vary SAT_MASS=500:2000:50 --vary UNTIL=150 -j 2 --quiet --out ";
  ASSERT_EQ(Zsim(folder, sweep + "whole").status, 0);
  const std::string whole = ReadTextFile(folder / "whole/sweep.csv");

  // Stopped by SIGTERM once some rows are in: whole rows only, and the same command carries on.
  const pid_t zsim = Start(folder, {"sweep", kOpenLoop, "--vary", "SAT_MASS=500:2000:50", "--vary",
                                    "UNTIL=150", "-j", "2", "--quiet", "--out", "stopped"});
  const std::string stoppedCsv = folder / "stopped/sweep.csv";
  for (int i = 0; i < 10000 && Lines(TextOf(stoppedCsv)).size() < 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  kill(zsim, SIGTERM);
  int status = 0;
  waitpid(zsim, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) &&
              (WEXITSTATUS(status) == 128 + SIGTERM || WEXITSTATUS(status) == 0));
  const std::string stopped = ReadTextFile(stoppedCsv);
  ASSERT_FALSE(stopped.empty());
  EXPECT_EQ(stopped.back(), '\n');

  // The rows there are marked; a last row cut short (a machine gone down) flies again.
  std::vector<std::string> lines = Lines(stopped);
  std::string kept = lines[0] + "\n";
  for (std::size_t i = 1; i < lines.size(); ++i) kept += lines[i] + "kept\n";
  kept += Lines(whole).back().substr(0, 20);
  std::ofstream(stoppedCsv) << kept;
  const Outcome resumed = Zsim(folder, sweep + "stopped");
  ASSERT_EQ(resumed.status, 0) << resumed.err;
  const std::vector<std::string> after = Lines(ReadTextFile(stoppedCsv));
  const std::vector<std::string> expected = Lines(whole);
  ASSERT_EQ(after.size(), expected.size());
  std::size_t marked = 0;
  for (std::size_t i = 0; i < after.size(); ++i) {
    const bool wasKept = after[i].size() > 4 && after[i].substr(after[i].size() - 4) == "kept";
    marked += wasKept;
    EXPECT_EQ(wasKept ? after[i].substr(0, after[i].size() - 4) : after[i], expected[i]);
  }
  EXPECT_EQ(marked, lines.size() - 1) << "every flight in the file stays as it was";
}

TEST(ZsimSweep, PlanRunByGnuParallelMakesTheSameSweep) {
  if (std::system("command -v parallel > /dev/null") != 0)
    GTEST_SKIP() << "GNU parallel is not installed (tools/install-deps.sh installs it)";
  TempFolder folder;
  // Draws, a tuple and a quote in the folder's name: every value and path reaches the commands as
  // it is.
  const std::string inputs = "'" + kOpenLoop +
                             "' --vary 'SAT_MASS=U(800,1200)' --vary 'PAD=5.2 -52.8,28.5 -80.6' "
                             "--vary UNTIL=300 --draws 3 --seed 11 --quiet";
  ASSERT_EQ(Zsim(folder, "sweep " + inputs + " --out built-in").status, 0);
  const Outcome plan = Zsim(folder, "sweep " + inputs + " --plan --out \"it's planned\"");
  ASSERT_EQ(plan.status, 0) << plan.err;
  EXPECT_EQ(Lines(ReadTextFile(folder / "it's planned/plan.txt")).size(), 3u);
  ASSERT_EQ(std::system(("cd '" + folder.path() +
                         "' && parallel -j 2 < \"it's planned/plan.txt\" > /dev/null 2>&1")
                            .c_str()),
            0);
  const Outcome collect =
      Zsim(folder, "sweep --collect \"it's planned/parts\" --out collected --quiet");
  ASSERT_EQ(collect.status, 0) << collect.err;
  const std::string builtIn = ReadTextFile(folder / "built-in/sweep.csv");
  EXPECT_EQ(Lines(builtIn).size(), 4u);
  EXPECT_EQ(ReadTextFile(folder / "collected/sweep.csv"), builtIn);
}

TEST(ZsimSweep, RefusesWhatAFlightCouldNotReadBeforeAnythingFlies) {
  TempFolder folder;
  struct {
    const char* vary;
    const char* says;
  } const cases[] = {
      {"SAT_MASS=-5,500",
       "--vary SAT_MASS: SAT_MASS: expected a mass from 0 to 1e+09 kg, found '-5'"},
      {"'PAD=95 0'", "--vary PAD: PAD: expected a latitude from -90 to 90 deg, found '95'"},
      {"'PAD=5'", "--vary PAD: PAD: expected a longitude"},
      {"DT=0.01,2", "--vary DT: DT: expected a frame length from 0.0001 to 1 s, found '2'"},
      {"KEY:J=-1", "--vary KEY:J: key script: in '-1:J': expected a time of at least 0 s"},
      {"'SAT_MASS=N(100,1000)' --draws 50", "--vary SAT_MASS: flight 1 draws '-"},
      {"'SAT_MASS=N(100,1000)'", "--vary SAT_MASS: N() and U() are draws: give --draws N"},
      {"'SAT_NAME=a#b'", "--vary SAT_NAME: SAT_NAME: a value holds no control character"},
      {"PICTH=5", "--vary PICTH: not an input a sweep varies"},
      {"SAT_MASS=1:0:1", "--vary SAT_MASS=1:0:1: the step leads away from the range's end"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Zsim(folder, "sweep '" + kOpenLoop + "' --vary " + c.vary + " --out s");
    EXPECT_EQ(outcome.status, 1) << c.vary;
    EXPECT_EQ(outcome.err.find(std::string("zsim: ") + c.says), 0u) << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "s")) << c.vary;
  }
}

TEST(ZsimSweep, CollectMergesRowsOnceAndRefusesConflicts) {
  const std::string header =
      "flight,SAT_MASS,result,reached_target,periapsis_km,apoapsis_km,inclination_deg,"
      "ignition_s,booster_separation_s,fairing_jettison_s,satellite_release_s,max_q_kPa,"
      "max_q_t_s,max_accel_g,max_accel_t_s,propellant_left_kg,why\n";
  const auto row = [](int n, const char* mass = "500") {
    return std::to_string(n) + "," + mass + ",flown,,,,,5,,,,1,2,3,4,5,\n";
  };
  struct {
    std::vector<std::string> parts;  ///< the sweep.csv of parts/1, parts/2 ...
    std::string before;              ///< out/sweep.csv before, or empty
    int status;
    const char* says;   ///< in stderr, or empty for nothing
    std::string after;  ///< out/sweep.csv after, or empty when there is none
  } const cases[] = {
      {{header + row(3) + row(1), header + row(2) + row(3)},
       "",
       0,
       "",
       header + row(1) + row(2) + row(3)},
      {{header + row(1), header + row(1, "600")}, "", 1, "flight 1 has two different rows", ""},
      {{header + row(1), "flight,PAD,result\n2,5 5,flown\n"},
       "",
       1,
       "the rows of another sweep",
       ""},
      {{header + row(1) + "2,50", ""}, "", 0, "an unfinished last row left out", header + row(1)},
      {{header + row(1) + row(4)},
       "",
       0,
       "flights without a row (not flown yet?): 2, 3",
       header + row(1) + row(4)},
      {{header + row(2)},
       header + row(5),
       0,
       "flights without a row (not flown yet?): 1, 3, 4",
       header + row(2) + row(5)},
      {{header + row(1)},
       header + row(1, "600"),
       1,
       "flight 1 has two different rows",
       header + row(1, "600")},
      // A planned flight's number may be this large: the missing are counted, not listed one by
      // one.
      {{header + row(1) + "100000000000000000,500,flown\n"},
       "",
       0,
       "2, 3, 4, 5, 6, 7, 8, 9, 10, 11 and 99999999999999988 more",
       ""},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    for (std::size_t i = 0; i < c.parts.size(); ++i) {
      const std::string part = folder / ("parts/" + std::to_string(i + 1));
      std::filesystem::create_directories(part);
      std::ofstream(part + "/sweep.csv", std::ios::binary) << c.parts[i];
    }
    if (!c.before.empty()) {
      std::filesystem::create_directories(folder / "out");
      std::ofstream(folder / "out/sweep.csv", std::ios::binary) << c.before;
    }
    const Outcome collect = Zsim(folder, "sweep --collect parts --out out --quiet");
    SCOPED_TRACE(c.parts.front());
    EXPECT_EQ(collect.status, c.status) << collect.err;
    if (*c.says == 0) {
      EXPECT_EQ(collect.err.find("zsim: flights without"), std::string::npos) << collect.err;
    } else {
      EXPECT_NE(collect.err.find(c.says), std::string::npos) << collect.err;
    }
    if (!c.after.empty()) {
      EXPECT_EQ(TextOf(folder / "out/sweep.csv"), c.after);
    }
    if (c.status != 0) {
      EXPECT_EQ(TextOf(folder / "out/sweep.csv"), c.before) << "a refused collect writes nothing";
    }
  }
}

TEST(ZsimCapability, HeaviestSatelliteReachesTheOrbitAndOneStepMoreDoesNot) {
  TempFolder folder;
  const std::string scenario = std::string(VANTOR_SCENARIOS_DIR) + "/default.scn";
  const Outcome search = Zsim(folder, "capability '" + scenario +
                                          "' --orbits 150x300 --resolution 200 -j 2 --quiet "
                                          "--out cap");
  ASSERT_EQ(search.status, 0) << search.err;
  const auto table = SweepRows(folder / "cap/capability.csv");
  ASSERT_EQ(table.size(), 1u);
  const double payload = Number(table[0].at("payload_kg"));
  const double missed = Number(table[0].at("missed_at_kg"));
  EXPECT_TRUE(payload > 1000 && missed > payload && missed - payload <= 200)
      << payload << " to " << missed;
  EXPECT_EQ(SweepRows(folder / "cap/flights.csv").size(), Number(table[0].at("flights")));

  // The flights just below and just above it, as zsim fly flies them.
  const std::string text = ReadTextFile(scenario);
  const struct {
    const char* column;
    const char* verdict;
  } flights[] = {{"payload_kg", ": target reached"}, {"missed_at_kg", ": target not reached"}};
  for (const auto& flight : flights) {
    std::string changed = text;
    changed.replace(changed.find("SAT_MASS 950"), 12, "SAT_MASS " + table[0].at(flight.column));
    std::ofstream(folder / "heavy.scn") << changed;
    const Outcome fly = Zsim(folder, "fly heavy.scn --target 150x300 --no-plot --out heavy");
    ASSERT_EQ(fly.status, 0) << fly.err;
    const std::string summary = ReadTextFile(folder / "heavy/summary.txt");
    EXPECT_NE(summary.find(flight.verdict), std::string::npos) << flight.column << "\n" << summary;
  }
}

}  // namespace
