#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "sim/world/world.h"
#include "sim/zsim/child_processes.h"
#include "sim/zsim/install_layout.h"
#include "sim/zsim/scenario_inputs.h"

namespace zenthar::zsim {

/// How the flights of a sweep fly: the scenario, the module and class files, until when, and
/// whether they leave files.
struct SweepFlying {
  std::string scenario;     ///< the scenario file
  std::string module;       ///< as zsim fly --module, or empty
  std::string classFolder;  ///< as zsim fly --classes, or empty
  std::string out;          ///< the sweep's folder: flight N's files go to out/files/N
  double until = 0;         ///< s, when untilGiven
  bool untilGiven = false;
  bool files = false;  ///< every flight leaves a flight's files
};

/// The scenario of a sweep, made ready once in the sweep's process: its text, the class files read
/// and the launcher's module loaded with none of its callbacks called. Every flight flies in a
/// process of its own made by fork from this one, so it starts from the module as it is when just
/// loaded, without loading it again.
class SweepScenario {
 public:
  /// False when the class files or the scenario cannot be read.
  bool Prepare(const SweepFlying& flying, std::string& error);

  /// In a flight's process: the scenario flown with the inputs set to the values; its row of
  /// sweep.csv as flight `number`.
  std::string FlyRow(const std::vector<ScenarioInput>& inputs,
                     const std::vector<std::string>& values, std::size_t number) const;
  /// Whether the world of a flight with these values can be made, asked in a process of its own
  /// as a flight makes it: a scenario the host refuses is said once, before anything flies.
  bool CanSetUp(const std::vector<ScenarioInput>& inputs, const std::vector<std::string>& values,
                std::string& error) const;

 private:
  SweepFlying flying_;
  ScenarioText text_;
  InstallLayout layout_;
  std::unique_ptr<World> loaded_;
};

/// A flight's process's end as its row: the row it wrote, or one that says why it has none.
/// Empty when the process was ended from outside (SIGINT, SIGTERM, SIGHUP, SIGKILL): the flight
/// flies again next time.
std::string RowOf(const ChildEnd& end, std::size_t number, const std::vector<std::string>& values);

}  // namespace zenthar::zsim
