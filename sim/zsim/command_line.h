#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zenthar::zsim {

/// What `zsim fly` is asked to do.
struct FlyOptions {
  std::string scenario;        ///< the scenario file to fly
  std::string out = "out";     ///< folder the flight's files go to
  double dt = 0;               ///< s, frame length; 0 keeps the scenario's
  double until = 660;          ///< s, simulation time at which the flight stops
  bool untilGiven = false;     ///< --until given: it holds over the scenario's UNTIL
  bool keysGiven = false;      ///< --keys replaces the scenario's key presses
  std::string keys;            ///< "T:KEY,..."
  std::vector<double> saveAt;  ///< s, times at which the world is saved, ascending, no repeats
  double every = 0.1;          ///< s, telemetry interval
  std::string module;          ///< module library to load instead of the class files' one
  std::string classFolder;     ///< vessel class files
  bool quiet = false;
  bool noPlot = false;
  bool trace = false;
  double realtime = 0;  ///< pace to the wall clock this many times faster; 0: as fast as it goes
  bool interactive = false;  ///< flown by hand in the terminal, in real time
  std::string target;        ///< "PxA" or "PxA@I": the launcher's target orbit, over its block's
  /// The flight ends kAfterRelease after its guidance has released the satellite: a guided flight
  /// headless, neither --until nor the scenario's UNTIL given.
  bool endsAfterRelease = false;
  /// The scenario's text, read instead of the file (a sweep's flight, its inputs put in); messages
  /// name the file.
  const std::string* scenarioText = nullptr;
};

/// What `zsim sweep` is asked to do (docs/SWEEPS.md).
struct SweepOptions {
  std::string scenario;
  std::vector<std::string> vary;     ///< "NAME=VALUES", in the order given
  std::size_t draws = 0;             ///< flights with random inputs; 0: the grid of the inputs
  std::uint64_t seed = 1;            ///< of the draws
  int jobs = 0;                      ///< flights at once; 0: one per core
  std::string out;                   ///< the sweep's folder
  bool plan = false;                 ///< write the flights as commands instead of flying them
  std::vector<std::string> collect;  ///< folders whose rows make one sweep.csv
  bool files = false;                ///< every flight leaves its files too
  double until = 0;                  ///< s, when every flight ends
  bool untilGiven = false;
  std::string module;       ///< as zsim fly's
  std::string classFolder;  ///< as zsim fly's
  bool quiet = false;
  std::size_t flightNumber = 0;  ///< a one-flight sweep's flight is this one of a plan; 0: 1
};

/// What `zsim capability` is asked to do.
struct CapabilityOptions {
  std::string scenario;
  std::vector<std::string> orbits;  ///< "A" (circular, km) or "PxA[@I]"
  int jobs = 0;
  std::string out;
  double resolution = 10;  ///< kg: the search stops when the heaviest mass is known to this
  std::string module;
  std::string classFolder;
  bool quiet = false;
};

/// What the command line asks for.
struct Command {
  enum class Kind { kFly, kSweep, kCapability } kind = Kind::kFly;
  FlyOptions fly;
  SweepOptions sweep;
  CapabilityOptions capability;
};

/// s a guided flight flies on after the satellite has left, unless --until says otherwise.
constexpr double kAfterRelease = 60;
/// s: the end of a guided flight whose satellite never leaves (a coast to the apoapsis of the
/// highest target the guidance takes, 100 000 km, lasts about 67 000 s).
constexpr double kGuidedFlightLimit = 200000;

/// Exit statuses of zsim.
constexpr int kExitFlown = 0;
constexpr int kExitCannotFly = 1;  ///< an input file, the module or the output folder failed
constexpr int kExitBadCommandLine = 2;
/// Stopped by a signal, plus its number: 130 Ctrl-C, 143 SIGTERM, 129 SIGHUP. The files of the
/// flight up to then are written.
constexpr int kExitStoppedBySignal = 128;

/// Reads the command line into a command. Returns -1 when it is to be carried out, else the exit
/// status: 0 after printing help, kExitBadCommandLine after one line on stderr saying what is
/// wrong.
int ReadCommandLine(int argc, char** argv, Command& command);

}  // namespace zenthar::zsim
