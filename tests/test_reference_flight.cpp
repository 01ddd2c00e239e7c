// The open-loop launch against its recorded reference, tests/reference/open_loop_launch.txt: the
// same events on the same frames, the launcher in the same state at each, and the same vessels at
// the end, so that a change of behaviour nobody meant fails here. After a change that is meant,
// rewrite the file and review its difference before committing it:
//
//   VANTOR_UPDATE_REFERENCE=1 <build>/tests/test_reference_flight
//
// Event kinds, vessels, details and frames must match exactly. Continuous quantities must match
// to REFERENCE_RELATIVE of their size: the build keeps floating point exact (no contraction into
// fused multiply-adds, no fast-math), and the plain and the sanitizer builds reproduce the file
// bit for bit. What may still differ on another machine is the last bit of a libm result (sin, cos,
// exp, pow); a difference of 1e-14 put into the flight grows to some 5e-13 by its end, so 1e-9
// absorbs that with a wide margin, while a change of behaviour, even of one frame of thrust,
// moves these figures by 1e-6 or more.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/engine_types.h"
#include "sim/physics/physics.h"
#include "sim/physics/vec_math.h"
#include "tests/support/flight_run.h"
#include "tests/support/host_checks.h"

using namespace zenthar;

namespace {

const std::string OPEN_LOOP_LAUNCH = ScenarioPath("open_loop.scn");
const std::string REFERENCE_FILE =
    (std::filesystem::path(VANTOR_SCENARIOS_DIR) / "../tests/reference/open_loop_launch.txt")
        .lexically_normal()
        .string();

const double FLIGHT_END = 820;  // s, past the spent boosters' impact (about 500 s)
const double REFERENCE_RELATIVE = 1e-9;

/// One moment of the flight: a host report, or a change seen in the launcher (its main-engine
/// level, its booster flames first lit), with the launcher's state at the end of that frame.
struct EventRecord {
  long frame;  // at load: 0
  std::string kind;
  std::string vessel;
  std::string detail;  // "" when none
  double altitude;     // m
  double speed;        // m/s
  double mass;         // kg
};

struct FlightRecord {
  double dt = 0;   // s
  double end = 0;  // s
  std::vector<EventRecord> events;
  std::vector<VesselEnd> vessels;
};

std::string Real(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

/// Watches the world after the load and after every frame.
class Recorder {
 public:
  Recorder(const World& world, FlightRecord& record) : world_(world), record_(record) {}

  void Observe(long frame) {
    const VesselState* launcher = world_.Launcher();
    for (; seen_ < world_.events().size(); ++seen_) {
      const HostEvent& e = world_.events()[seen_];
      Add(FrameOf(e.time, world_.dt), e.kind, e.vessel, e.detail, launcher);
    }
    if (!launcher) return;
    if (launcher->engineLevel[ENGINE_MAIN] != mainLevel_) {
      mainLevel_ = launcher->engineLevel[ENGINE_MAIN];
      Add(frame, "engine", launcher->name, Real(mainLevel_), launcher);
    }
    if (!boostersLit_ && BoosterFlameLit(*launcher)) {
      boostersLit_ = true;
      Add(frame, "booster_ignition", launcher->name, "", launcher);
    }
  }

 private:
  void Add(long frame, const std::string& kind, const std::string& vessel,
           const std::string& detail, const VesselState* launcher) {
    EventRecord event{frame, kind, vessel, detail, 0, 0, 0};
    if (launcher) {
      event.altitude = Altitude(*launcher, world_.planet);
      event.speed = Length(launcher->velocity);
      event.mass = launcher->Mass();
    }
    record_.events.push_back(event);
  }

  const World& world_;
  FlightRecord& record_;
  std::size_t seen_ = 0;
  double mainLevel_ = 0;
  bool boostersLit_ = false;
};

FlightRecord FlyOpenLoopLaunch() {
  FlightRecord record;
  auto world = WorldFromFile(OPEN_LOOP_LAUNCH);
  if (!world) return record;
  record.dt = world->dt;
  record.end = FLIGHT_END;
  Recorder recorder(*world, record);
  recorder.Observe(0);
  while (world->time() < FLIGHT_END - 1e-9) {
    const long frame = world->frame();
    world->Step();
    recorder.Observe(frame);
  }
  record.vessels = VesselEnds(*world);
  return record;
}

const char* const FILE_HEADER =
    "# The open-loop launch (scenarios/open_loop.scn) as the stand-in host flies it: every event\n"
    "# the launcher's state at the end of its frame, then every vessel at the end of the flight.\n"
    "# tests/test_reference_flight.cpp compares a new flight with this file on every run; after "
    "an\n"
    "# intended change of behaviour, rewrite it and review the difference:\n"
    "#   VANTOR_UPDATE_REFERENCE=1 <build>/tests/test_reference_flight\n"
    "# Reals have 17 significant digits; they must match to 1e-9 of their size (see the test).\n"
    "# FLIGHT dt_s end_s\n"
    "# EVENT frame kind vessel detail(- for none) launcher_altitude_m launcher_speed_m_s "
    "launcher_mass_kg\n"
    "# VESSEL name class x_m y_m z_m vx_m_s vy_m_s vz_m_s mass_kg landed impacted\n";

bool WriteRecord(const FlightRecord& record, const std::string& path) {
  std::ofstream file(path);
  file << FILE_HEADER;
  file << "FLIGHT " << Real(record.dt) << " " << Real(record.end) << "\n";
  for (const EventRecord& e : record.events)
    file << "EVENT " << e.frame << " " << e.kind << " " << e.vessel << " "
         << (e.detail.empty() ? "-" : e.detail) << " " << Real(e.altitude) << " " << Real(e.speed)
         << " " << Real(e.mass) << "\n";
  for (const VesselEnd& v : record.vessels)
    file << "VESSEL " << v.name << " " << v.className << " " << Real(v.position.x) << " "
         << Real(v.position.y) << " " << Real(v.position.z) << " " << Real(v.velocity.x) << " "
         << Real(v.velocity.y) << " " << Real(v.velocity.z) << " " << Real(v.mass) << " "
         << v.landed << " " << v.impacted << "\n";
  file.close();
  return static_cast<bool>(file);
}

// Reals are read with strtod, which gives back the very double that %.17g wrote.
double ReadReal(std::istream& in) {
  std::string word;
  in >> word;
  return std::strtod(word.c_str(), nullptr);
}

bool ReadRecord(const std::string& path, FlightRecord& record, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = path + ": missing; write it with VANTOR_UPDATE_REFERENCE=1";
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string tag;
    in >> tag;
    if (tag == "FLIGHT") {
      record.dt = ReadReal(in);
      record.end = ReadReal(in);
    } else if (tag == "EVENT") {
      EventRecord e{};
      in >> e.frame >> e.kind >> e.vessel >> e.detail;
      if (e.detail == "-") e.detail.clear();
      e.altitude = ReadReal(in);
      e.speed = ReadReal(in);
      e.mass = ReadReal(in);
      record.events.push_back(e);
    } else if (tag == "VESSEL") {
      VesselEnd v{};
      in >> v.name >> v.className;
      v.position = {ReadReal(in), ReadReal(in), ReadReal(in)};
      v.velocity = {ReadReal(in), ReadReal(in), ReadReal(in)};
      v.mass = ReadReal(in);
      in >> v.landed >> v.impacted;
      record.vessels.push_back(v);
    } else {
      in.setstate(std::ios::failbit);
    }
    if (!in) {
      error = path + ":" + std::to_string(number) + ": cannot be read: " + line;
      return false;
    }
  }
  return true;
}

// Within REFERENCE_RELATIVE of the larger of the value and a scale that says how large such a
// quantity is where it passes zero.
void ExpectClose(double expected, double actual, double scale, const char* what) {
  EXPECT_NEAR(expected, actual, REFERENCE_RELATIVE * std::max(std::fabs(expected), scale)) << what;
}

void ExpectSameFlight(const FlightRecord& expected, const FlightRecord& actual) {
  const double radius = Planet().radius;  // m, an altitude is a difference of two such distances
  EXPECT_EQ(expected.dt, actual.dt);
  EXPECT_EQ(expected.end, actual.end);

  ASSERT_EQ(expected.events.size(), actual.events.size());
  for (std::size_t i = 0; i < expected.events.size(); ++i) {
    const EventRecord& e = expected.events[i];
    const EventRecord& a = actual.events[i];
    SCOPED_TRACE("event " + std::to_string(i) + ": frame " + std::to_string(e.frame) + " " +
                 e.kind + " " + e.vessel);
    EXPECT_EQ(e.frame, a.frame);
    EXPECT_EQ(e.kind, a.kind);
    EXPECT_EQ(e.vessel, a.vessel);
    EXPECT_EQ(e.detail, a.detail);
    ExpectClose(e.altitude, a.altitude, radius, "launcher altitude, m");
    ExpectClose(e.speed, a.speed, 1, "launcher speed, m/s");
    ExpectClose(e.mass, a.mass, 1, "launcher mass, kg");
  }

  ASSERT_EQ(expected.vessels.size(), actual.vessels.size());
  for (std::size_t i = 0; i < expected.vessels.size(); ++i) {
    const VesselEnd& e = expected.vessels[i];
    const VesselEnd& a = actual.vessels[i];
    SCOPED_TRACE("vessel " + e.name);
    EXPECT_EQ(e.name, a.name);
    EXPECT_EQ(e.className, a.className);
    EXPECT_EQ(e.landed, a.landed);
    EXPECT_EQ(e.impacted, a.impacted);
    const double distance = Length(e.position);
    const double speed = std::max(Length(e.velocity), 1.0);
    ExpectVector(a.position, e.position, REFERENCE_RELATIVE * distance, "position, m");
    ExpectVector(a.velocity, e.velocity, REFERENCE_RELATIVE * speed, "velocity, m/s");
    ExpectClose(e.mass, a.mass, 1, "mass, kg");
  }
}

TEST(ReferenceFlight, OpenLoopLaunchFliesAsRecorded) {
  const FlightRecord flown = FlyOpenLoopLaunch();
  ASSERT_FALSE(flown.events.empty());

  const char* update = std::getenv("VANTOR_UPDATE_REFERENCE");
  if (update && std::string(update) == "1") {
    ASSERT_TRUE(WriteRecord(flown, REFERENCE_FILE)) << REFERENCE_FILE;
    FlightRecord written;
    std::string error;
    ASSERT_TRUE(ReadRecord(REFERENCE_FILE, written, error)) << error;
    // What was written reads back to the very flight.
    ExpectSameFlight(flown, written);
    GTEST_SKIP() << "rewrote " << REFERENCE_FILE << "; review its difference";
  }

  FlightRecord reference;
  std::string error;
  ASSERT_TRUE(ReadRecord(REFERENCE_FILE, reference, error)) << error;
  ExpectSameFlight(reference, flown);
}

}  // namespace
