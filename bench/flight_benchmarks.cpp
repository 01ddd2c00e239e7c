// The whole open-loop launch in the stand-in host, from reading the scenario to the satellite's
// release, with no files written and with the files a flight leaves: a telemetry row every 0.1 s,
// the host's events, and the world saved at release.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/launch_world.h"
#include "bench/spread.h"
#include "sim/files/scenario_file.h"
#include "sim/physics/physics.h"

using namespace zenthar;

namespace {

const double TELEMETRY_INTERVAL = 0.1;  // s of simulation time between telemetry rows
const double FLIGHT_LIMIT = 2000;       // s, far beyond the open-loop launch's release

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "flight benchmark: %s\n", message.c_str());
  std::exit(2);
}

/// A folder under the system's temporary directory for one run's files, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vantor_bench_XXXXXX";
    if (!mkdtemp(pattern.data())) Fail("cannot make a folder from " + pattern);
    path_ = pattern;
  }
  ~ScratchFolder() {
    for (const char* name : {"telemetry.csv", "events.csv", "released.scn"})
      std::remove((path_ + "/" + name).c_str());
    rmdir(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::FILE* OpenForWriting(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) Fail(path + ": cannot be written");
  std::setvbuf(file, nullptr, _IOFBF, 1 << 16);
  return file;
}

void WriteTelemetryRow(std::FILE* csv, const World& world, const VesselState& vehicle) {
  const double radius = Length(vehicle.position);  // m
  std::fprintf(csv, "%.2f,%.3f,%.3f,%.3f,%.3f,%.3f,%.3f,%.3f\n", world.time(),
               Altitude(vehicle, world.planet), Length(vehicle.velocity),
               Dot(vehicle.velocity, vehicle.position) / radius, vehicle.Mass(), vehicle.fuelMass,
               MainThrust(vehicle), vehicle.atmPressure);
}

void WriteEvents(const std::string& path, const World& world) {
  std::FILE* csv = OpenForWriting(path);
  std::fputs("t_s,event,vessel,detail\n", csv);
  for (const HostEvent& event : world.events())
    std::fprintf(csv, "%.2f,%s,%s,%s\n", event.time, event.kind.c_str(), event.vessel.c_str(),
                 event.detail.c_str());
  if (std::fclose(csv) != 0) Fail(path + ": cannot be written");
}

/// Flies the open-loop launch to the satellite's release; with a folder, writes a flight's files
/// into it. Returns the simulated time (s).
double FlyOpenLoopLaunch(const ScratchFolder* folder) {
  World world;
  UseProjectFiles(world);
  VesselState* launcher = LoadOpenLoopLaunch(world);
  std::FILE* telemetry = nullptr;
  if (folder) {
    telemetry = OpenForWriting(folder->File("telemetry.csv"));
    std::fputs(
        "t_s,altitude_m,speed_m_s,vertical_speed_m_s,mass_kg,propellant_kg,thrust_N,"
        "pressure_Pa\n",
        telemetry);
  }
  const long rowFrames = std::lround(TELEMETRY_INTERVAL / world.dt);
  while (!SatelliteReleased(world, launcher)) {
    if (world.time() > FLIGHT_LIMIT) Fail("the open-loop launch never releases its satellite");
    if (telemetry && world.frame() % rowFrames == 0) WriteTelemetryRow(telemetry, world, *launcher);
    world.Step();
  }
  if (folder) {
    WriteTelemetryRow(telemetry, world, *launcher);
    if (std::fclose(telemetry) != 0) Fail("telemetry.csv: cannot be written");
    WriteEvents(folder->File("events.csv"), world);
    std::string error;
    if (!SaveScenarioFile(world, folder->File("released.scn"), error)) Fail(error);
  }
  return world.time();
}

void BM_WholeFlight(benchmark::State& state) {
  const bool fileOutput = state.range(0) != 0;
  ScratchFolder folder;
  double flight = 0;     // s, one flight's simulated time
  double simulated = 0;  // s, all flights'
  for (auto _ : state) {
    flight = FlyOpenLoopLaunch(fileOutput ? &folder : nullptr);
    simulated += flight;
  }
  state.counters["sim_s_per_wall_s"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
  state.counters["sim_s"] = flight;
}

}  // namespace

BENCHMARK(BM_WholeFlight)
    ->ArgName("file_output")
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Apply(AddSpread);
