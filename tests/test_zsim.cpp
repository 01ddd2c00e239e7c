// zsim as a user runs it: the files of a flight, one-line refusals of bad input, saving and
// flying on, the summary's orbits, the plot, the trace, and an installed tree.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sim/physics/atmosphere.h"
#include "sim/physics/planet.h"
#include "tests/support/flight_run.h"
#include "tests/support/temp_folder.h"

using namespace zenthar;

namespace fs = std::filesystem;

namespace {

const std::string kOpenLoopScenario = std::string(VANTOR_SCENARIOS_DIR) + "/open_loop.scn";

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = line.find(separator, start);
    fields.push_back(line.substr(start, end - start));
    if (end == std::string::npos) return fields;
    start = end + 1;
  }
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

/// Runs a command line in a folder (with `environment` before it, e.g. "PATH=/nowhere").
Outcome RunIn(const TempFolder& folder, const std::string& command,
              const std::string& environment = "") {
  const std::string out = folder / ".stdout";
  const std::string err = folder / ".stderr";
  const std::string line = "cd '" + folder.path() + "' && " + environment + " " + command + " >'" +
                           out + "' 2>'" + err + "'";
  const int raw = std::system(line.c_str());
  Outcome outcome{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadTextFile(out), ReadTextFile(err)};
  std::remove(out.c_str());
  std::remove(err.c_str());
  return outcome;
}

Outcome Zsim(const TempFolder& folder, const std::string& arguments,
             const std::string& environment = "") {
  return RunIn(folder, std::string("'") + ZSIM_PATH + "' " + arguments, environment);
}

/// The fields of a CSV line as RFC 4180 reads them: a field in double quotes may hold commas and
/// doubled quotes.
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
      if (quoted && i > 0 && line[i - 1] == '"') fields.back() += '"';  // a doubled quote
    } else if (line[i] == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += line[i];
    }
  }
  return fields;
}

/// A CSV file as a header and rows of fields.
struct Csv {
  std::string header;
  std::vector<std::vector<std::string>> rows;
};

Csv ReadCsv(const std::string& path) {
  Csv csv;
  std::vector<std::string> lines = Lines(ReadTextFile(path));
  if (lines.empty()) return csv;
  csv.header = lines.front();
  for (std::size_t i = 1; i < lines.size(); ++i) csv.rows.push_back(CsvFields(lines[i]));
  return csv;
}

double Number(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

/// The blank-separated words of the first line that starts with `prefix`.
std::vector<std::string> WordsOfLine(const std::string& text, const std::string& prefix) {
  std::vector<std::string> words;
  for (const std::string& line : Lines(text)) {
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    break;
  }
  return words;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Telemetry columns.
enum {
  T,
  ALTITUDE,
  SPEED,
  VERTICAL_SPEED,
  ACCEL,
  MASS,
  PROPELLANT,
  THRUST,
  PRESSURE,
  Q,
  MACH,
  VESSEL,
  LATITUDE,
  LONGITUDE,
  AIR_SPEED,
  FLIGHT_PATH_ANGLE
};
// Event columns.
enum { E_T, E_KIND, E_VESSEL, E_DETAIL, E_ALTITUDE, E_SPEED, E_MASS, E_LATITUDE, E_LONGITUDE };

/// What xmllint's XPath makes of a file in the KML namespace (the project's tools install
/// libxml2-utils); a test failure, and "", when the file is no well-formed KML 2.2 document.
std::string XPath(const std::string& file, const std::string& expression) {
  const std::string quoted = "'" + file + "'";
  const std::string root =
      "/*[local-name()='kml' and namespace-uri()='http://www.opengis.net/kml/2.2']";
  const std::string out = file + ".xpath";
  const std::string check = "xmllint --noout " + quoted + " && xmllint --xpath \"count(" + root +
                            ")\" " + quoted + " > '" + out + "' && xmllint --xpath \"" +
                            expression + "\" " + quoted + " >> '" + out + "'";
  const int status = std::system(check.c_str());
  std::string answer = ReadTextFile(out);
  std::remove(out.c_str());
  EXPECT_EQ(0, status) << file << " is no well-formed XML (or xmllint is missing)";
  EXPECT_EQ(0u, answer.find("1\n")) << file << " has no kml root in the KML 2.2 namespace";
  answer.erase(0, answer.find('\n') + 1);
  if (!answer.empty() && answer.back() == '\n') answer.pop_back();
  return answer;
}

// What the timeline calls a body that leaves is what its class file says it is: a class is
// renamed or recast by its files alone.
TEST(Zsim, TheTimelineNamesALeavingBodyByItsClassFilesRole) {
  TempFolder folder;
  fs::copy(VANTOR_CLASSES_DIR, folder / "classes");
  for (const char* side : {"Left", "Right"})
    WriteFile(folder / ("classes/Vantor_" + std::string(side) + "Booster.cfg"),
              "Mass = 39800\nRole = fairing\n");
  const Outcome run = Zsim(folder, "fly '" + kOpenLoopScenario +
                                       "' --classes classes --out flight --until 140 --no-plot");
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("fairing jettison")) << run.out;
  EXPECT_EQ(std::string::npos, run.out.find("booster separation")) << run.out;
}

TEST(Zsim, AFlightWritesItsFilesWithTheirColumnsAndEvents) {
  TempFolder folder;
  const Outcome run = Zsim(
      folder, "fly '" + kOpenLoopScenario + "' --out flight --until 620 --every 0.01 --no-plot");
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err);
  EXPECT_NE(std::string::npos,
            run.out.find("Files in flight/: events.csv, flight.kml, summary.txt, telemetry.csv"))
      << run.out;
  EXPECT_EQ((std::vector<std::string>{"events.csv", "flight.kml", "summary.txt", "telemetry.csv"}),
            Names(folder / "flight"));
  // The timeline names the milestones.
  for (const char* milestone : {"booster separation", "fairing jettison", "satellite release"})
    EXPECT_NE(std::string::npos, run.out.find(milestone)) << milestone;

  const Csv telemetry = ReadCsv(folder / "flight/telemetry.csv");
  EXPECT_EQ(
      "t_s,altitude_m,speed_m_s,vertical_speed_m_s,accel_m_s2,mass_kg,propellant_kg,thrust_N,"
      "pressure_Pa,dynamic_pressure_Pa,mach,vessel,latitude_deg,longitude_deg,air_speed_m_s,"
      "flight_path_angle_deg",
      telemetry.header);
  ASSERT_EQ(62001u, telemetry.rows.size());  // every frame from 0 s to 620 s
  const Planet planet;
  for (std::size_t i = 0; i < telemetry.rows.size(); ++i) {
    const std::vector<std::string>& row = telemetry.rows[i];
    ASSERT_EQ(16u, row.size()) << "row " << i;
    ASSERT_NEAR(0.01 * static_cast<double>(i), Number(row[T]), 1e-9);
    const double altitude = Number(row[ALTITUDE]);
    const AtmosphereSample air = StandardAtmosphere(altitude);
    // The columns hold 10 digits; the air recomputed from the printed altitude agrees to 1e-8.
    EXPECT_NEAR(air.pressure, Number(row[PRESSURE]), 1e-8 * air.pressure + 1e-12) << row[T];
    EXPECT_NEAR(0.5 * air.density * Number(row[AIR_SPEED]) * Number(row[AIR_SPEED]), Number(row[Q]),
                1e-8 * Number(row[Q]) + 1e-12)
        << row[T];
    EXPECT_EQ(air.temperature == 0, row[MACH].empty()) << row[T];  // no Mach number in vacuum
  }
  // On the pad before ignition the vessel stands where it stands, moving with the ground and the
  // air, and feels its weight less what keeps it on its circle round the axis.
  const std::vector<std::string>& pad = telemetry.rows[100];
  const double r = planet.radius + Number(pad[ALTITUDE]);
  const double latitude = 5.2 * 3.14159265358979323846 / 180;
  const double circling = planet.rotationRate * planet.rotationRate * r * std::cos(latitude);
  EXPECT_NEAR(std::hypot(planet.gm / (r * r) - circling * std::cos(latitude),
                         circling * std::sin(latitude)),
              Number(pad[ACCEL]), 1e-8);
  EXPECT_NEAR(planet.rotationRate * r * std::cos(latitude), Number(pad[SPEED]), 1e-6);
  EXPECT_EQ("0", pad[AIR_SPEED]);
  EXPECT_EQ("0", pad[THRUST]);
  EXPECT_EQ("5.2", pad[LATITUDE]);
  EXPECT_EQ("-52.8", pad[LONGITUDE]);

  const Csv events = ReadCsv(folder / "flight/events.csv");
  EXPECT_EQ("t_s,event,vessel,detail,altitude_m,speed_m_s,mass_kg,latitude_deg,longitude_deg",
            events.header);
  std::vector<std::string> seen;
  for (const auto& row : events.rows) {
    ASSERT_EQ(9u, row.size());
    seen.push_back(row[E_KIND] + " " + row[E_VESSEL] + " " + row[E_DETAIL]);
  }
  EXPECT_EQ((std::vector<std::string>{
                "vessel_created Vantor1 Vantor",
                "focus Vantor1 ",
                "engine Vantor1 1",
                "booster_ignition Vantor1 ",
                "vessel_created Vantor1-Stage_LeftBooster Vantor_LeftBooster",
                "vessel_created Vantor1-Stage_RightBooster Vantor_RightBooster",
                "impact Vantor1-Stage_RightBooster ",
                "impact Vantor1-Stage_LeftBooster ",
                "propellant_exhausted Vantor1 ",
                "vessel_created Vantor1-Stage_LeftPayload Vantor_LeftPayload",
                "vessel_created Vantor1-Stage_RightPayload Vantor_RightPayload",
                "vessel_created Vantor1-Sat Relaysat",
                "focus Vantor1-Sat ",
                "engine Vantor1 0",
            }),
            seen);
  EXPECT_EQ("5", events.rows[2][E_T]);  // E is pressed at 5 s; the engine lights in that frame

  // An event carries the vehicle's state at the end of its frame: the telemetry row one frame on.
  // After booster separation, that is the launcher without its boosters.
  const std::vector<std::string>& separation = events.rows[4];
  const std::size_t frame = static_cast<std::size_t>(std::lround(Number(separation[E_T]) / 0.01));
  const std::vector<std::string>& after = telemetry.rows[frame + 1];
  EXPECT_EQ(after[ALTITUDE], separation[E_ALTITUDE]);
  EXPECT_EQ(after[SPEED], separation[E_SPEED]);
  EXPECT_EQ(after[MASS], separation[E_MASS]);
  EXPECT_EQ(after[LATITUDE], separation[E_LATITUDE]);
  EXPECT_EQ(after[LONGITUDE], separation[E_LONGITUDE]);
  EXPECT_GT(Number(telemetry.rows[frame][MASS]) - Number(after[MASS]), 2 * 39000.0);
  // After release the rows follow the satellite, and say so.
  EXPECT_EQ("Vantor1", telemetry.rows.front()[VESSEL]);
  EXPECT_EQ("Vantor1-Sat", telemetry.rows.back()[VESSEL]);
  EXPECT_EQ("950", telemetry.rows.back()[MASS]);

  // The summary's peaks are the telemetry's.
  const std::string summary = ReadTextFile(folder / "flight/summary.txt");
  double maxQ = 0, maxQTime = 0, maxAccel = 0, maxAccelTime = 0;
  for (const auto& row : telemetry.rows) {
    if (Number(row[Q]) > maxQ) maxQ = Number(row[Q]), maxQTime = Number(row[T]);
    if (Number(row[ACCEL]) > maxAccel) maxAccel = Number(row[ACCEL]), maxAccelTime = Number(row[T]);
  }
  double q = 0, qTime = 0, accel = 0, accelTime = 0;
  const std::size_t qAt = summary.find("Maximum dynamic pressure");
  const std::size_t accelAt = summary.find("Maximum acceleration");
  ASSERT_NE(std::string::npos, qAt);
  ASSERT_NE(std::string::npos, accelAt);
  ASSERT_EQ(2, std::sscanf(summary.c_str() + qAt, "Maximum dynamic pressure %lf kPa at T+ %lf", &q,
                           &qTime));
  ASSERT_EQ(2, std::sscanf(summary.c_str() + accelAt,
                           "Maximum acceleration %lf m/s^2 (%*f g) at T+ %lf", &accel, &accelTime));
  EXPECT_NEAR(maxQ / 1000, q, 0.005);
  EXPECT_NEAR(maxQTime, qTime, 0.005);
  EXPECT_NEAR(maxAccel, accel, 0.005);
  EXPECT_NEAR(maxAccelTime, accelTime, 0.005);
  // The vessels at the end with their class and state; the orbits of launcher and satellite.
  const std::vector<std::string> launcherLine = WordsOfLine(summary, "  Vantor1 ");
  const std::vector<std::string> satelliteLine = WordsOfLine(summary, "  Vantor1-Sat ");
  ASSERT_GE(launcherLine.size(), 3u) << summary;
  ASSERT_GE(satelliteLine.size(), 3u) << summary;
  EXPECT_EQ("Vantor flying", launcherLine[1] + " " + launcherLine[2]);
  EXPECT_EQ("Relaysat flying", satelliteLine[1] + " " + satelliteLine[2]);
  for (const char* line : {"Orbit of Vantor1-Sat: periapsis", "Orbit of Vantor1: periapsis"})
    EXPECT_NE(std::string::npos, summary.find(line)) << line << " in\n" << summary;
  // Launched due east, the orbit is inclined as the pad's latitude; the boosters came down.
  const std::size_t orbit = summary.find("Orbit of Vantor1-Sat: ");
  ASSERT_NE(std::string::npos, summary.find("inclination 5.20 deg", orbit)) << summary;
  for (const char* body :
       {"Came down\n  Vantor1-Stage_RightBooster ", "  Vantor1-Stage_LeftBooster "})
    EXPECT_NE(std::string::npos, summary.find(body)) << body << " in\n" << summary;

  // flight.kml: well-formed KML, every vessel's track and a placemark per marked event.
  const std::string kml = folder / "flight/flight.kml";
  EXPECT_EQ("6", XPath(kml, "count(//*[local-name()='LineString'])"));
  EXPECT_EQ("8", XPath(kml, "count(//*[local-name()='Point'])"));  // ignition, 2 + 2 + 2 + 1
  EXPECT_EQ("ignition: Vantor1", XPath(kml, "string((//*[local-name()='Point']/..)[1]/*[1])"));
}

// The default mission: the guidance puts the relay satellite into 500 km circular, the timeline
// and the summary show the target against the orbit, and the flight ends a minute after release.
TEST(Zsim, TheDefaultMissionShowsItsTargetAgainstTheOrbitReached) {
  TempFolder folder;
  const Outcome run = Zsim(folder, "fly '" + std::string(VANTOR_SCENARIOS_DIR) +
                                       "/default.scn' --out mission --every 1 --no-plot");
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err);
  for (const char* said :
       {"until 60 s after the satellite's release", "guidance               alt      0.0 km",
        "Vantor1 flies to 500 x 500 km: ascent to 150 x",
        "Vantor1 target 500 x 500 km reached: the satellite in 500.0"})
    EXPECT_NE(std::string::npos, run.out.find(said)) << said << " in\n" << run.out;
  const std::string summary = ReadTextFile(folder / "mission/summary.txt");
  for (const char* said : {"\nMission to 500 x 500 km\n", "km: target reached\n",
                           "  Payload        950 kg carried (SAT_MASS); Vantor1-Sat has its "
                           "class's 950 kg\n",
                           "  Core stage     ", "  Delta-v spent  "})
    EXPECT_NE(std::string::npos, summary.find(said)) << said << " in\n" << summary;
  double periapsis = 0, apoapsis = 0;  // km
  const std::size_t orbit = summary.find("Orbit of Vantor1-Sat: ");
  ASSERT_NE(std::string::npos, orbit) << summary;
  ASSERT_EQ(2, std::sscanf(summary.c_str() + orbit,
                           "Orbit of Vantor1-Sat: periapsis %lf km, apoapsis %lf km", &periapsis,
                           &apoapsis));
  EXPECT_NEAR(500, periapsis, 2);
  EXPECT_NEAR(500, apoapsis, 2);
  // The flight ends 60 s after the guidance has seen the satellite leave, a frame after release.
  double release = -1;
  for (const auto& row : ReadCsv(folder / "mission/events.csv").rows)
    if (row[E_KIND] == "vessel_created" && row[E_VESSEL] == "Vantor1-Sat")
      release = Number(row[E_T]);
  double end = 0;
  const std::size_t span = summary.find("T+0 to T+");
  ASSERT_NE(std::string::npos, span) << summary;
  ASSERT_EQ(1, std::sscanf(summary.c_str() + span, "T+0 to T+%lf s", &end)) << summary;
  EXPECT_NEAR(release + 0.01 + 60, end, 1e-6);
}

TEST(Zsim, BadInputGivesOneLineAndLeavesTheFolderAsItWas) {
  TempFolder folder;
  WriteFile(
      folder / "two.scn",
      "BEGIN_VESSEL A:Vantor\nPAD 0 0\nEND_VESSEL\nBEGIN_VESSEL B:Vantor\nPAD 0 1\nEND_VESSEL\n");
  WriteFile(folder / "unknown.scn", "# a class nobody has\nBEGIN_VESSEL A:Nope\nEND_VESSEL\n");
  WriteFile(folder / "broken.scn", "BEGIN_ENVIRONMENT\nDT 0.01\nBEGIN_VESSEL A:Vantor\n");
  WriteFile(folder / "keys.scn", "BEGIN_ENVIRONMENT\nKEYS 5:WHAT\nEND_ENVIRONMENT\n");
  WriteFile(folder / "a-file", "not a folder");
  WriteFile(folder / "sat.scn", "BEGIN_VESSEL S:Relaysat\nRPOS 7e6 0 0\nEND_VESSEL\n");
  const std::string scenario = " '" + kOpenLoopScenario + "'";
  struct {
    std::string arguments;
    int status;
    std::string says;
  } const cases[] = {
      {"fly missing.scn", 1, "zsim: missing.scn: cannot be read"},
      {"fly .", 1, "zsim: .: a folder, not a scenario file"},
      {"fly broken.scn", 1, "zsim: broken.scn:3: unknown environment line 'BEGIN_VESSEL A:Vantor'"},
      {"fly two.scn", 1, "zsim: two.scn:4: vessel \"B\": a second launcher"},
      {"fly unknown.scn", 1, "zsim: unknown.scn:2: unknown vessel class \"Nope\""},
      {"fly keys.scn", 1, "zsim: keys.scn:2: key script: unknown key 'WHAT'"},
      {"fly" + scenario + " --module /nowhere/libnothing.so", 1,
       "zsim: --module: module /nowhere/libnothing.so does not load: "},
      {"fly" + scenario + " --module " + INCOMPLETE_MODULE_PATH, 1,
       std::string("zsim: --module: module ") + INCOMPLETE_MODULE_PATH +
           ": the module lacks the callback zvcSaveState"},
      {"fly" + scenario + " --classes /nowhere", 1, "zsim: class folder /nowhere cannot be read"},
      {"fly" + scenario + " --keys 5:E,7:Q9", 2, "zsim: --keys: key script: unknown key 'Q9'"},
      {"fly" + scenario + " --keys 5E", 2, "zsim: --keys: key script: '5E' is not T:KEY"},
      {"fly" + scenario + " --dt 0", 2,
       "zsim: --dt: expected a frame length from 0.0001 to 1 s, found '0'"},
      {"fly" + scenario + " --until soon", 2,
       "zsim: --until: expected a time from 0 to 1e+08 s, found 'soon'"},
      {"fly" + scenario + " --save-at 10,700", 2, "zsim: --save-at 700 comes after --until 660"},
      {"fly" + scenario + " --realtime -2", 2,
       "zsim: --realtime: expected a speed factor from 0.01 to 1000000, found '-2'"},
      {"fly" + scenario + " --target 500", 2,
       "zsim: --target: expected PxA or PxA@I (km, km, deg), e.g. 500x500 or 300x1000@51.6, "
       "found '500'"},
      {"fly" + scenario + " --target 1000x300", 2,
       "zsim: --target: expected the periapsis, the lower, first, found 1000 km then 300 km"},
      {"fly sat.scn --target 500x500", 1, "zsim: --target: sat.scn holds no launcher"},
      {"fly" + scenario + " --wobble", 2,
       "zsim: The following argument was not expected: --wobble"},
      {"fly", 2, "zsim: SCENARIO is required"},
  };
  for (const auto& c : cases) {
    const std::string out = folder / "out";
    fs::create_directory(out);
    WriteFile(out + "/events.csv", "an earlier flight's\n");
    const Outcome run = Zsim(folder, c.arguments + " --out out");
    EXPECT_EQ(c.status, run.status) << c.arguments;
    EXPECT_EQ(0u, run.err.find(c.says)) << c.arguments << " said: " << run.err;
    EXPECT_EQ(1u, Lines(run.err).size()) << run.err;
    EXPECT_EQ("", run.out) << c.arguments;
    EXPECT_EQ(std::vector<std::string>{"events.csv"}, Names(out)) << c.arguments;
    EXPECT_EQ("an earlier flight's\n", ReadTextFile(out + "/events.csv"));
  }

  const Outcome blocked = Zsim(folder, "fly" + scenario + " --out a-file/out");
  EXPECT_EQ(1, blocked.status);
  EXPECT_EQ(0u, blocked.err.find("zsim: a-file/out: cannot make the output folder")) << blocked.err;
}

// Hostile scenario files and values: each is refused with its file and line and what was
// expected, before anything flies and with the output folder as it was; or, where the module is
// handed a value the host cannot fly, flown with the refusal in the timeline.
TEST(Zsim, HostileInputIsRefusedOrFlownWithoutABadValue) {
  TempFolder folder;
  const std::string pad = "BEGIN_VESSEL V:Vantor\nPAD 5.2 -52.8\n";  // the case's line is line 3
  const std::string end = "END_VESSEL\n";
  const std::string aboard = "CONFIGURATION 0\nSAT_JETTISONED 0\n";
  std::string points;
  for (int t = 0; t <= 64; ++t) points += " " + std::to_string(t) + " 90";
  fs::create_directory(folder / "bad");
  WriteFile(folder / "bad/Relaysat.cfg", "Mass = inf\n");
  fs::create_directory(folder / "badareas");
  WriteFile(folder / "badareas/Vantor.cfg",
            "Module = vantor\nMeshCrossSections = vantor_main 1 2 3\n"
            "MeshCrossSections = vantor_main 1 2 3\n");
  fs::create_directory(folder / "badrole");
  WriteFile(folder / "badrole/Vantor_LeftBooster.cfg", "Mass = 39800\nRole = boster\n");
  struct {
    std::string text;  ///< case.scn
    std::string options;
    int status;
    std::string says;  ///< on stderr; when flown, on stdout or stderr
  } const cases[] = {
      {pad + "PITCH 0 90 15\n" + end, "", 1,
       "zsim: case.scn:3: PITCH: expected an elevation from -90 to 90 deg, found nothing"},
      {pad + "PITCH 0 90 20 80 10 70\n" + end, "", 1,
       "zsim: case.scn:3: PITCH: expected times that increase, found 10 s after 20 s"},
      {pad + "PITCH 0 nan\n" + end, "", 1, "PITCH: expected an elevation from -90 to 90 deg"},
      {pad + "PITCH" + points + "\n" + end, "", 1, "case.scn:3: PITCH: expected at most 64 points"},
      {pad + "PICTH 0 90\n" + end, "", 1, "zsim: case.scn:3: unknown line 'PICTH 0 90'"},
      {pad + "TARGET_ORBIT 500 50\n" + end, "", 1,
       "zsim: case.scn:3: TARGET_ORBIT: expected an orbit altitude from 100 to 100000 km, found "
       "'50'"},
      {pad + "TARGET_ORBIT 500 500 51.6 1\n" + end, "", 1,
       "zsim: case.scn:3: TARGET_ORBIT: expected nothing more, found '1'"},
      {pad + "FUEL nan\n" + end, "", 1,
       "zsim: case.scn:3: FUEL: expected a level from 0 to 1, found 'nan'"},
      {pad + "FUEL 1.5\n" + end, "", 1, "zsim: case.scn:3: FUEL: expected a level from 0 to 1"},
      {pad + "ENG_MAIN -0.2\n" + end, "", 1, "case.scn:3: ENG_MAIN: expected a level from 0 to 1"},
      {"BEGIN_VESSEL V:Vantor\nRPOS nan 0 0\n" + end, "", 1,
       "zsim: case.scn:2: RPOS: expected a position coordinate from -1e+12 to 1e+12 m, found "
       "'nan'"},
      {"BEGIN_VESSEL V:Vantor\nRPOS 1e308 0 0\n" + end, "", 1, "found '1e308'"},
      {"BEGIN_VESSEL V:Vantor\nRPOS 6e6 0 0\n" + end, "", 1,
       "zsim: case.scn:2: RPOS: expected a distance from the planet's centre from 6361000 to 1e+12 "
       "m, found 6000000 m"},
      {"BEGIN_VESSEL V:Vantor\n" + aboard + end, "", 1,
       "zsim: case.scn:1: vessel \"V\": its block gives neither RPOS nor PAD"},
      {"BEGIN_VESSEL V:Vantor\nPAD 95 0\n" + end, "", 1,
       "zsim: case.scn:2: PAD: expected a latitude from -90 to 90 deg, found '95'"},
      {pad + "BEGIN_VESSEL S:Relaysat\nRPOS 7e6 0 0\n" + end, "", 1,
       "zsim: case.scn:3: END_VESSEL missing before 'BEGIN_VESSEL S:Relaysat'"},
      {std::string("BEGIN_VESSEL V\0:Vantor\n", 23) + "PAD 0 0\n" + end, "", 1,
       "zsim: case.scn:1: a control character (byte 0x00) in the line"},
      {"BEGIN_ENVIRONMENT\nDT 1e-300\nEND_ENVIRONMENT\n" + pad + end, "", 1,
       "zsim: case.scn:2: DT: expected a frame length from 0.0001 to 1 s, found '1e-300'"},
      {"BEGIN_ENVIRONMENT\nDT 1e6\nEND_ENVIRONMENT\n" + pad + end, "", 1, "found '1e6'"},
      {"", "/dev/zero", 1, "zsim: /dev/zero:1: the line is longer than 4096 characters"},
      {pad + end, "--until 1e12", 2, "zsim: --until: expected a time from 0 to 1e+08 s"},
      {pad + end, "--until 2e6", 1,
       "zsim: --until 2000000 s in frames of 0.01 s takes 200000000 frames; a flight has at most "
       "100000000"},
      {pad + end, "--classes bad", 1,
       "zsim: bad/Relaysat.cfg:1: Mass: expected a mass from 0 to 1e+09 kg, found 'inf'"},
      {pad + end, "--classes badareas", 1,
       "zsim: badareas/Vantor.cfg:3: MeshCrossSections: mesh 'vantor_main' given twice"},
      {pad + end, "--classes badrole", 1,
       "zsim: badrole/Vantor_LeftBooster.cfg:2: Role: expected booster or fairing, found 'boster'"},
      // Flown: comments after every host line, the example header of docs/SCENARIO.md; an
      // optional --realtime factor that leaves the scenario alone; values the module passes on.
      {"BEGIN_ENVIRONMENT\nDT 0.01              # frame length, s\nEND_ENVIRONMENT  # ok\n"
       "BEGIN_VESSEL V:Vantor     # name:class\nPAD 5.2 -52.8  # pad\n" +
           end,
       "--until 0.05 --realtime", 0, "zsim: flying case.scn in frames of 0.01 s until T+0.05 s"},
      {pad + aboard + "SAT_NAME Nosat\n" + end, "--until 0.05", 0,
       "zsim: warning: V: satellite class \"Nosat\" is unknown"},
      {pad + aboard + "SAT_MASS 1e308\n" + end, "--until 0.05", 0,
       "V SetEmptyMass 1e+308: expected a mass from 0 to 1e+09 kg"},
      // A target beyond reach is said before anything flies.
      {pad + "TARGET_ORBIT 500 500 2\n" + end, "--until 0.05", 0,
       "zsim: warning: V: 500 x 500 km at 2 deg is beyond reach: a pad at 5.20 deg latitude "
       "reaches inclinations from 5.20 to 174.80 deg only"},
  };
  for (const auto& c : cases) {
    if (!c.text.empty()) WriteFile(folder / "case.scn", c.text);
    const std::string arguments = "fly " + c.options + (c.text.empty() ? "" : " case.scn");
    const std::string out = c.status == 0 ? "flown" : "out";
    fs::create_directory(folder / out);
    WriteFile(folder / (out + "/events.csv"), "an earlier flight's\n");
    const Outcome run = Zsim(folder, arguments + " --out " + out + " --no-plot");
    EXPECT_EQ(c.status, run.status) << arguments << "\n" << c.text << run.err;
    EXPECT_NE(std::string::npos, (c.status ? run.err : run.out + run.err).find(c.says))
        << arguments << "\n"
        << c.text << "said: " << run.out << run.err;
    if (c.status == 0) continue;
    EXPECT_EQ(1u, Lines(run.err).size()) << run.err;
    EXPECT_EQ(std::vector<std::string>{"events.csv"}, Names(folder / out)) << arguments;
    EXPECT_EQ("an earlier flight's\n", ReadTextFile(folder / (out + "/events.csv")));
  }
}

TEST(Zsim, FlyingASavedWorldContinuesTheFlight) {
  TempFolder folder;
  const Outcome first = Zsim(folder, "fly '" + kOpenLoopScenario +
                                         "' --out first --until 150 --save-at 100,60,100.0001 "
                                         "--no-plot");
  ASSERT_EQ(0, first.status) << first.err;
  EXPECT_EQ(
      (std::vector<std::string>{"events.csv", "flight.kml", "saved_100.0001.scn", "saved_100.scn",
                                "saved_60.scn", "summary.txt", "telemetry.csv"}),
      Names(folder / "first"));
  const Csv firstEvents = ReadCsv(folder / "first/events.csv");
  std::vector<std::string> saves;
  double separation = 0;
  for (const auto& row : firstEvents.rows) {
    if (row[E_KIND] == "saved") saves.push_back(row[E_T] + " " + row[E_DETAIL]);
    if (row[E_DETAIL] == "Vantor_LeftBooster") separation = Number(row[E_T]);
  }
  EXPECT_EQ((std::vector<std::string>{"60 first/saved_60.scn", "100 first/saved_100.scn",
                                      "100.01 first/saved_100.0001.scn"}),
            saves);
  ASSERT_GT(separation, 100);

  const Outcome second = Zsim(folder, "fly first/saved_100.scn --out second --until 50 --no-plot");
  ASSERT_EQ(0, second.status) << second.err;
  const Csv secondEvents = ReadCsv(folder / "second/events.csv");
  double resumedSeparation = 0;
  for (const auto& row : secondEvents.rows)
    if (row[E_DETAIL] == "Vantor_LeftBooster") resumedSeparation = Number(row[E_T]);
  // The boosters leave when they did in the first flight, within a frame or two.
  EXPECT_NEAR(separation - 100, resumedSeparation, 0.025);

  // Both flights are where the first was, at the same moments.
  const Csv before = ReadCsv(folder / "first/telemetry.csv");
  const Csv resumed = ReadCsv(folder / "second/telemetry.csv");
  for (int t : {0, 20, 40, 50}) {
    const auto& a = before.rows[static_cast<std::size_t>(10 * (100 + t))];
    const auto& b = resumed.rows[static_cast<std::size_t>(10 * t)];
    ASSERT_NEAR(100 + t, Number(a[T]), 1e-9);
    ASSERT_NEAR(t, Number(b[T]), 1e-9);
    EXPECT_NEAR(Number(a[ALTITUDE]), Number(b[ALTITUDE]), 1e-3 * Number(a[ALTITUDE])) << t;
    EXPECT_NEAR(Number(a[SPEED]), Number(b[SPEED]), 1e-3 * Number(a[SPEED])) << t;
    EXPECT_NEAR(Number(a[PROPELLANT]), Number(b[PROPELLANT]), 1e-3 * Number(a[PROPELLANT])) << t;
  }
}

/// A scenario of one passive satellite at (r, 0, 0) m moving at (0, v, 0) m/s.
std::string SatelliteAt(double r, double v) {
  char text[256];
  std::snprintf(text, sizeof text,
                "BEGIN_VESSEL Sat:Relaysat\nRPOS %.17g 0 0\nRVEL 0 %.17g 0\nEND_VESSEL\n", r, v);
  return text;
}

TEST(Zsim, TheSummaryGivesTheOrbitAboveTheAtmosphere) {
  const Planet planet;
  const double r = 7000e3;  // m, an apsis of every orbit below: the velocity is square to it
  // k = v^2 r / GM; the other apsis lies at r k / (2 - k).
  struct {
    double k;
    const char* says;
  } const cases[] = {{1.0, ""},
                     {1.2, ""},
                     {0.9, "periapsis below the surface: it comes down"},
                     {2.5, "no apoapsis: an escape path"}};
  for (const auto& c : cases) {
    TempFolder folder;
    WriteFile(folder / "sat.scn", SatelliteAt(r, std::sqrt(c.k * planet.gm / r)));
    const Outcome run = Zsim(folder, "fly sat.scn --until 0.01 --no-plot --quiet");
    ASSERT_EQ(0, run.status) << run.err;
    const std::string summary = ReadTextFile(folder / "out/summary.txt");
    const std::size_t at = summary.find("Orbit of Sat: ");
    ASSERT_NE(std::string::npos, at) << summary;
    EXPECT_NE(std::string::npos, summary.find(c.says, at)) << summary;
    if (c.k >= 2) continue;
    const double other = r * c.k / (2 - c.k);
    double periapsis = 0, apoapsis = 0, inclination = -1, period = 0;
    ASSERT_EQ(4, std::sscanf(summary.c_str() + at,
                             "Orbit of Sat: periapsis %lf km, apoapsis %lf km (eccentricity %*f), "
                             "inclination %lf deg, period %lf min",
                             &periapsis, &apoapsis, &inclination, &period));
    EXPECT_NEAR((std::min(r, other) - planet.radius) / 1000, periapsis, 0.051) << c.k;
    EXPECT_NEAR((std::max(r, other) - planet.radius) / 1000, apoapsis, 0.051) << c.k;
    EXPECT_EQ(0, inclination) << c.k;  // moving along the equator
    const double a = (r + other) / 2;  // m
    EXPECT_NEAR(2 * 3.14159265358979323846 * std::sqrt(a * a * a / planet.gm) / 60, period, 0.051)
        << c.k;
  }

  // Within the air there is no orbit to give; a body dropped from 100 m comes down.
  TempFolder folder;
  WriteFile(folder / "low.scn", SatelliteAt(planet.radius + 50e3, 2000) +
                                    "BEGIN_VESSEL Drop:Relaysat\nRPOS 6371100 0 0\nEND_VESSEL\n");
  const Outcome run = Zsim(folder, "fly low.scn --until 10 --no-plot --quiet");
  ASSERT_EQ(0, run.status) << run.err;
  const std::string summary = ReadTextFile(folder / "out/summary.txt");
  EXPECT_NE(std::string::npos, summary.find("Sat is within the atmosphere (altitude ")) << summary;
  const std::vector<std::string> drop = WordsOfLine(summary, "  Drop ");
  ASSERT_GE(drop.size(), 3u) << summary;
  EXPECT_EQ("impacted", drop[2]);
  const Csv events = ReadCsv(folder / "out/events.csv");
  ASSERT_FALSE(events.rows.empty());
  EXPECT_EQ("impact", events.rows.back()[E_KIND]);
  EXPECT_EQ("Drop", events.rows.back()[E_VESSEL]);
  // At rest where it came down, moving with the ground.
  EXPECT_NEAR(planet.rotationRate * planet.radius, Number(events.rows.back()[E_SPEED]), 1e-3);
  EXPECT_NE(std::string::npos, summary.find("Came down\n  Drop ")) << summary;
}

bool GnuplotInstalled() {
  return std::system("command -v gnuplot >/dev/null 2>&1") == 0;
}

TEST(Zsim, DrawsThePlotWithGnuplotAndSaysSoWithout) {
  if (!GnuplotInstalled()) GTEST_SKIP() << "gnuplot is not installed";
  TempFolder folder;
  const std::string fly = "fly '" + kOpenLoopScenario + "' --until 150 --every 1";
  const Outcome drawn = Zsim(folder, fly);
  ASSERT_EQ(0, drawn.status) << drawn.err;
  EXPECT_EQ("", drawn.err);
  for (const char* png : {"out/flight.png", "out/groundtrack.png"})
    EXPECT_EQ(0u, ReadTextFile(folder / png).find("\x89PNG\r\n\x1a\n")) << png;

  // Without gnuplot the flight is flown and its files written, less the plots, which go.
  const Outcome without = Zsim(folder, fly, "PATH=/nowhere");
  EXPECT_EQ(0, without.status);
  EXPECT_EQ("zsim: gnuplot not found on PATH, so no flight.png (Debian package gnuplot-nox)\n",
            without.err);
  EXPECT_EQ((std::vector<std::string>{"events.csv", "flight.kml", "summary.txt", "telemetry.csv"}),
            Names(folder / "out"));

  const Outcome skipped = Zsim(folder, fly + " --no-plot", "PATH=/nowhere");
  EXPECT_EQ(0, skipped.status);
  EXPECT_EQ("", skipped.err);
}

/// A word for the shell: in single quotes, its own single quotes closed, escaped and reopened.
std::string ShellWord(const std::string& text) {
  std::string word = "'";
  for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

TEST(Zsim, NamesFromUsersReachNoInterpreter) {
  if (!GnuplotInstalled()) GTEST_SKIP() << "gnuplot is not installed";
  const std::string launch = ReadTextFile(kOpenLoopScenario);
  // A scenario file's name goes into the plot's title, the output folder's into gnuplot's paths,
  // the vessel's into the timeline, the summary and both CSV files. A command that runs touches
  // $PWNED, a path outside any folder zsim writes.
  struct {
    std::string file, out, vessel;
  } const cases[] = {
      {"x`touch $PWNED`.scn", "out", "Vantor1"},
      {"$(touch $PWNED) @x.scn", "|touch $PWNED", "Vantor1"},
      {"it's \"a\" ''test''.scn", "<touch $PWNED", "Van,tor\"1\""},
      // The reader refuses control characters in a scenario, so only a C1 byte can reach a name.
      {"x\n!touch $PWNED\n.scn", "out\x1b[2J",
       "Vantor\x9b"
       "1"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    std::string scenario = launch;
    scenario.replace(scenario.find("Vantor1:"), 8, c.vessel + ":");
    WriteFile(folder / c.file, scenario);
    const Outcome run = Zsim(
        folder, "fly " + ShellWord(c.file) + " --out " + ShellWord(c.out) + " --until 20 --every 1",
        "PWNED=" + ShellWord(folder / "PWNED"));
    ASSERT_EQ(0, run.status) << c.file << ": " << run.err;
    EXPECT_FALSE(fs::exists(folder / "PWNED")) << c.file;
    for (const char* picture : {"/flight.png", "/groundtrack.png"}) {
      const std::string png = ReadTextFile(folder / c.out + picture);
      EXPECT_EQ(png.size() - 12, png.rfind(std::string("\0\0\0\0IEND", 8))) << picture;
    }
    // The names are the KML's text, shown as the terminal shows them.
    std::string shown = c.vessel;
    if (shown.back() == '1' && shown[shown.size() - 2] == '\x9b')
      shown.replace(shown.size() - 2, 1, "\\x9b");
    EXPECT_EQ(shown, XPath(folder / c.out + "/flight.kml",
                           "string(//*[local-name()='LineString']/../*[1])"));
    for (const std::string& shown : {run.out, ReadTextFile(folder / c.out + "/summary.txt")})
      EXPECT_EQ(std::string::npos, shown.find_first_of("\x1b\x07\x9b")) << shown;
    const Csv events = ReadCsv(folder / c.out + "/events.csv");
    ASSERT_FALSE(events.rows.empty());
    EXPECT_EQ(c.vessel, events.rows.front()[E_VESSEL]);
    EXPECT_EQ(c.vessel, ReadCsv(folder / c.out + "/telemetry.csv").rows.back()[VESSEL]);
  }
}

TEST(Zsim, ASignalEndsTheFlightAtTheNextFrameAndKeepsWhatWasFlown) {
  struct {
    std::vector<int> signals;
    int status;
    const char* stoppedBy;
  } const cases[] = {{{SIGINT}, 130, "Ctrl-C"},
                     {{SIGINT, SIGINT}, 130, "Ctrl-C"},
                     {{SIGTERM}, 143, "SIGTERM"},
                     {{SIGTERM, SIGTERM}, 143, "SIGTERM"}};
  for (const auto& c : cases) {
    TempFolder folder;
    // In real time the flight would take a minute. A test run in the background inherits Ctrl-C
    // ignored, which zsim keeps so: it gets the handling a foreground process has.
    const pid_t zsim = fork();
    if (zsim == 0) {
      std::signal(SIGINT, SIG_DFL);
      if (chdir(folder.path().c_str()) == 0 && std::freopen(".out", "w", stdout))
        execl(ZSIM_PATH, "zsim", "fly", kOpenLoopScenario.c_str(), "--until", "60", "--save-at",
              "0.5", "--realtime", "1", "--no-plot", static_cast<char*>(nullptr));
      _exit(127);
    }
    // Once the save is written into the staging folder, the signals.
    bool saved = false;
    std::error_code none;
    for (int i = 0; i < 6000 && !saved; ++i, usleep(10000))
      for (const auto& entry : fs::directory_iterator(folder / "out", none))
        saved = saved || fs::exists(entry.path() / "saved_0.5.scn");
    for (int signal : c.signals) kill(zsim, signal);
    int raw = 0;
    waitpid(zsim, &raw, 0);
    ASSERT_TRUE(saved);
    EXPECT_EQ(c.status, WIFEXITED(raw) ? WEXITSTATUS(raw) : -1) << c.stoppedBy;
    // No staging folder is left behind.
    EXPECT_EQ((std::vector<std::string>{"events.csv", "flight.kml", "saved_0.5.scn", "summary.txt",
                                        "telemetry.csv"}),
              Names(folder / "out"));
    EXPECT_NE(std::string::npos, ReadTextFile(folder / "out/summary.txt")
                                     .find(std::string("(stopped early by ") + c.stoppedBy + ")"));
    EXPECT_LT(Number(ReadCsv(folder / "out/telemetry.csv").rows.back()[T]), 30);
  }
}

std::map<std::string, std::string> FilesOf(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : Names(folder))
    files[name] = fs::is_directory(folder + "/" + name) ? "/" : ReadTextFile(folder + "/" + name);
  return files;
}

TEST(Zsim, AFolderHoldsOneFlightOrIsLeftAsItWas) {
  TempFolder folder;
  const std::string zsim =
      "'" + std::string(ZSIM_PATH) + "' fly '" + kOpenLoopScenario + "' --quiet";
  const std::string fly = zsim + " --until 150 --every 1 --save-at 50,100";
  ASSERT_EQ(0, RunIn(folder, zsim + " --until 70 --save-at 60 --trace --no-plot").status);
  WriteFile(folder / "out/notes.txt", "the user's own\n");
  const std::map<std::string, std::string> earlier = FilesOf(folder / "out");
  // A file-size limit makes writes fail as a full disk would; gnuplot then still exits 0, with
  // flight.png cut short.
  struct {
    std::string before, says;
  } const failures[] = {
      {"mkdir out/saved_100.scn &&", "zsim: out/saved_100.scn: cannot be written: "},
      {"prlimit --fsize=4000", "zsim: out/telemetry.csv: cannot be written"},
      {GnuplotInstalled() ? "prlimit --fsize=40000" : "",
       "zsim: out/flight.png: cannot be written: gnuplot left it incomplete"},
  };
  for (const auto& c : failures) {
    if (c.before.empty()) continue;
    const Outcome run = RunIn(folder, c.before + " " + fly);
    EXPECT_EQ(1, run.status) << c.before;
    EXPECT_EQ(0u, run.err.find(c.says)) << run.err;
    fs::remove(folder / "out/saved_100.scn");
    EXPECT_EQ(earlier, FilesOf(folder / "out")) << c.before;
  }
  // The new flight replaces the earlier one's files, the user's stay.
  ASSERT_EQ(0, RunIn(folder, fly + " --no-plot").status);
  EXPECT_EQ((std::vector<std::string>{"events.csv", "flight.kml", "notes.txt", "saved_100.scn",
                                      "saved_50.scn", "summary.txt", "telemetry.csv"}),
            Names(folder / "out"));
  EXPECT_EQ("the user's own\n", ReadTextFile(folder / "out/notes.txt"));
}

TEST(Zsim, OddFlightsAreToldAsTheyWere) {
  struct {
    std::string scenario;  ///< a file of scenarios/, or the text of one
    std::string says, neverSays;
  } const cases[] = {
      // A burn flown on from a save was going at load: no ignition, no jump in mass or thrust.
      {"stack_burn.scn", "in the scenario", "booster ignition"},
      {"open_loop.scn", "booster ignition", "met no air"},
      {SatelliteAt(7000e3, 7546), "Maximum dynamic pressure     none: the flight met no air",
       "0.00 kPa"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const bool file = c.scenario.find('\n') == std::string::npos;
    WriteFile(folder / "given.scn", file ? ReadTextFile(ScenarioPath(c.scenario)) : c.scenario);
    ASSERT_EQ(0, Zsim(folder, "fly given.scn --until 10 --every 0.01 --no-plot --quiet").status);
    const std::string summary = ReadTextFile(folder / "out/summary.txt");
    EXPECT_NE(std::string::npos, summary.find(c.says)) << summary;
    EXPECT_EQ(std::string::npos, summary.find(c.neverSays)) << summary;
    const Csv telemetry = ReadCsv(folder / "out/telemetry.csv");
    const std::vector<std::string>& first = telemetry.rows.at(0);
    const std::vector<std::string>& next = telemetry.rows.at(1);
    EXPECT_NEAR(Number(next[MASS]), Number(first[MASS]), 1e-3 * Number(next[MASS])) << c.says;
    EXPECT_NEAR(Number(next[THRUST]), Number(first[THRUST]), 1e-3 * Number(next[THRUST]));
    // The timeline's load is the first row's.
    EXPECT_EQ(first[MASS], ReadCsv(folder / "out/events.csv").rows.at(0)[E_MASS]);
  }
}

TEST(Zsim, WatchingInRealTimeFliesTheSameFlightInPlainLinesOffATerminal) {
  TempFolder folder;
  const std::string fly = "fly '" + kOpenLoopScenario + "' --until 8 --no-plot";
  const Outcome paced = Zsim(folder, fly + " --realtime 400 --out paced");
  const Outcome plain = Zsim(folder, fly + " --out plain");
  ASSERT_EQ(0, paced.status) << paced.err;
  ASSERT_EQ(0, plain.status) << plain.err;
  EXPECT_NE(std::string::npos, paced.out.find("main engine ignition"));
  EXPECT_EQ(std::string::npos, paced.out.find_first_of("\r\x1b")) << "no live status in a file";
  EXPECT_EQ(ReadTextFile(folder / "plain/telemetry.csv"),
            ReadTextFile(folder / "paced/telemetry.csv"));
  EXPECT_EQ(ReadTextFile(folder / "plain/events.csv"), ReadTextFile(folder / "paced/events.csv"));
}

/// One line of trace.log.
struct TraceLine {
  std::string seq, time, vessel, operation, arguments, answer;
};

std::vector<TraceLine> ReadTrace(const std::string& path) {
  std::vector<TraceLine> trace;
  for (const std::string& line : Lines(ReadTextFile(path))) {
    if (line[0] == '#') continue;
    const std::vector<std::string> f = Split(line, '\t');
    EXPECT_EQ(6u, f.size()) << line;
    if (f.size() == 6) trace.push_back(TraceLine{f[0], f[1], f[2], f[3], f[4], f[5]});
  }
  return trace;
}

/// A double that the text gives back exactly: read, then written again with 17 digits.
double ExactDouble(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  EXPECT_EQ('\0', *end) << text;
  char again[32];
  std::snprintf(again, sizeof again, "%.17g", value);
  EXPECT_EQ(text, again) << "does not read back exactly";
  return value;
}

TEST(Zsim, TheTraceHasItsDocumentedFormAndReadsBackExactly) {
  TempFolder folder;
  const Outcome run =
      Zsim(folder, "fly '" + kOpenLoopScenario + "' --until 5.5 --save-at 5.25 --trace --no-plot");
  ASSERT_EQ(0, run.status) << run.err;
  const std::vector<std::string> head = Lines(ReadTextFile(folder / "out/trace.log"));
  ASSERT_GE(head.size(), 2u);
  EXPECT_EQ("# seq\tt_s\tvessel\toperation\targuments\tanswer", head[1]);
  const std::vector<TraceLine> trace = ReadTrace(folder / "out/trace.log");
  ASSERT_FALSE(trace.empty());

  // The same flight in this process, frame by frame: what the host left for each frame.
  auto world = WorldFromFile(kOpenLoopScenario);
  ASSERT_NE(nullptr, world);
  VesselState* launcher = world->Launcher();
  ASSERT_NE(nullptr, launcher);
  std::vector<double> thrustMod, pressure;  // N and Pa, per frame
  while (world->time() < 5.5 - 1e-9) {
    world->Step();
    thrustMod.push_back(launcher->mainThrustMod);
    pressure.push_back(launcher->atmPressure);
  }

  // The scenario's block reaches the module line by line, then the end of the block.
  std::vector<std::string> handedOver;
  for (const TraceLine& line : trace)
    if (line.operation == "zapiReadScenario_nextline")
      handedOver.push_back(line.arguments + " " + line.answer);
  EXPECT_EQ(
      (std::vector<std::string>{
          "\"PAD 5.2 -52.8\" true", "\"HEADING 90\" true", "\"PITCH 0 90 15 90 134 60 600 0\" true",
          "\"CONFIGURATION 0\" true", "\"SAT_OFS_X 0\" true", "\"SAT_OFS_Y 0\" true",
          "\"SAT_OFS_Z 23.5\" true", "\"SAT_JETTISONED 0\" true", "\"SAT_NAME Relaysat\" true",
          "\"SAT_MESH relaysat\" true", "\"SAT_MASS 950\" true", " false"}),
      handedOver);

  // Frame k's calls run at k x 0.01 s; what comes between two frames (a save, the goodbye) at the
  // time of the next one.
  long frame = -1;
  bool betweenFrames = false;
  std::size_t thrustModLines = 0, pressureLines = 0;
  for (std::size_t i = 0; i < trace.size(); ++i) {
    const TraceLine& line = trace[i];
    EXPECT_EQ(std::to_string(i + 1), line.seq);
    const double time = ExactDouble(line.time);
    if (line.operation == "zvcConsumeKey") {
      ++frame;
      betweenFrames = false;
      const double frameTime = static_cast<double>(frame) * 0.01;
      EXPECT_EQ(frameTime, time);  // the host's own frame time, to the last bit
      // E is held for 0.1 s from 5 s: frames 500 to 509.
      EXPECT_EQ(frame >= 500 && frame < 510 ? "keys: E" : "keys: ", line.arguments) << frame;
      std::size_t step = i + 1;  // the key handler may call the host first
      while (step < trace.size() && trace[step].operation != "zvcTimestep") ++step;
      ASSERT_LT(step, trace.size());
      EXPECT_EQ(line.time, trace[step].arguments);
    }
    if (frame < 0) continue;
    ASSERT_LT(static_cast<std::size_t>(frame), thrustMod.size());
    EXPECT_EQ(static_cast<double>(frame + (betweenFrames ? 1 : 0)) * 0.01, time) << line.operation;
    if (line.operation == "mainThrustMod") {
      ++thrustModLines;
      betweenFrames = true;
      EXPECT_EQ(thrustMod[static_cast<std::size_t>(frame)], ExactDouble(line.answer)) << frame;
    }
    if (line.operation == "GetAtmPressure") {
      ++pressureLines;
      EXPECT_EQ(pressure[static_cast<std::size_t>(frame)], ExactDouble(line.answer)) << frame;
    }
  }
  EXPECT_EQ(549, frame);
  EXPECT_EQ(550u, thrustModLines);
  EXPECT_GT(pressureLines, 0u);

  // The save comes before the frame of its time; the module says goodbye at the end.
  std::size_t save = 0;
  while (save < trace.size() && trace[save].operation != "zvcSaveState") ++save;
  ASSERT_LT(save + 1, trace.size());
  EXPECT_EQ("5.25", trace[save].time);
  EXPECT_EQ("mainThrustMod", trace[save - 1].operation);
  EXPECT_EQ("zvcExit", trace.back().operation);
  EXPECT_EQ("5.5", trace.back().time);
}

TEST(Zsim, AnInstalledTreeFlies) {
  TempFolder folder;
  const std::string build = fs::path(ZSIM_PATH).parent_path().string();
  const Outcome install =
      RunIn(folder, "cmake --install '" + build + "' --prefix '" + folder.path() + "/tree'");
  ASSERT_EQ(0, install.status) << install.out << install.err;
  for (const char* file :
       {"tree/bin/zsim", "tree/lib/libvantor.so", "tree/lib/libzenthar.so",
        "tree/share/vantor/classes/Vantor.cfg", "tree/share/vantor/scenarios/default.scn"})
    EXPECT_TRUE(fs::exists(folder / file)) << file;

  const Outcome run = RunIn(folder,
                            "tree/bin/zsim fly tree/share/vantor/scenarios/default.scn --until 140 "
                            "--no-plot --quiet");
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_NE(std::string::npos, ReadTextFile(folder / "out/events.csv").find("Vantor_LeftBooster"));
}

}  // namespace
