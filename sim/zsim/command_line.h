#pragma once

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

/// Reads the command line into options. Returns -1 when a flight is to be flown, else the exit
/// status: 0 after printing help, kExitBadCommandLine after one line on stderr saying what is
/// wrong.
int ReadCommandLine(int argc, char** argv, FlyOptions& options);

}  // namespace zenthar::zsim
