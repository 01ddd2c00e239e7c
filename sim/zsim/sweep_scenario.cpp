#include "sim/zsim/sweep_scenario.h"

#include <csignal>

#include "sim/zsim/sweep_flight.h"
#include "sim/zsim/sweep_table.h"
#include "sim/zsim/world_setup.h"

namespace zenthar::zsim {

namespace {

FlyOptions FlightOptions(const SweepFlying& flying, const std::string* text, std::size_t number) {
  FlyOptions flight;
  flight.scenario = flying.scenario;
  flight.scenarioText = text;
  flight.out = flying.out + "/files/" + std::to_string(number);
  flight.quiet = true;
  flight.module = flying.module;
  flight.classFolder = flying.classFolder;
  flight.until = flying.untilGiven ? flying.until : flight.until;
  flight.untilGiven = flying.untilGiven;
  return flight;
}

}  // namespace

bool SweepScenario::Prepare(const SweepFlying& flying, std::string& error) {
  flying_ = flying;
  layout_ = FindInstallLayout();
  loaded_ = std::make_unique<World>();
  const std::string classFolder =
      flying.classFolder.empty() ? layout_.classFolder : flying.classFolder;
  if (!loaded_->classes().LoadFolder(classFolder, error)) return false;
  if (!text_.Read(flying.scenario, loaded_->classes(), error)) return false;
  const VesselClass* launcher = loaded_->classes().Find(text_.launcherClass());
  if (!launcher) return true;
  // Found as SetUpWorld finds it; a module that does not load is the first flight's to report.
  loaded_->moduleFolder = layout_.moduleFolder;
  std::string ignored;
  loaded_->LoadModule(flying.module.empty() ? launcher->module : ModulePath(flying.module),
                      ignored);
  return true;
}

std::string SweepScenario::FlyRow(const std::vector<ScenarioInput>& inputs,
                                  const std::vector<std::string>& values,
                                  std::size_t number) const {
  std::string text;
  FlightOutcome outcome;
  if (text_.With(inputs, values, text, outcome.why))
    outcome = FlySweepFlight(FlightOptions(flying_, &text, number), flying_.files, layout_);
  return SweepRow(number, values, outcome);
}

bool SweepScenario::CanSetUp(const std::vector<ScenarioInput>& inputs,
                             const std::vector<std::string>& values, std::string& error) const {
  const auto check = [&](std::size_t) -> std::string {
    std::string text;
    std::string why;
    if (!text_.With(inputs, values, text, why)) return why;
    World world;
    if (!SetUpWorld(world, FlightOptions(flying_, &text, 1), layout_, why)) return why;
    return "ok";
  };
  std::string answer;
  const auto done = [&answer](std::size_t, const ChildEnd& end) {
    answer = end.output;
    if (answer.empty())
      answer = end.notStarted.empty() ? "the scenario's check did not finish" : end.notStarted;
    return true;
  };
  if (ChildProcesses::Run({0}, 1, check, done) != 0) answer = "stopped";
  if (answer == "ok") return true;
  error = answer;
  return false;
}

std::string RowOf(const ChildEnd& end, std::size_t number, const std::vector<std::string>& values) {
  if (end.exited && end.status == 0 && !end.output.empty() && end.output.back() == '\n')
    return end.output;
  for (int stop : {SIGINT, SIGTERM, SIGHUP, SIGKILL})
    if (end.signal == stop) return {};
  FlightOutcome outcome;
  outcome.why = !end.notStarted.empty() ? end.notStarted
                : end.signal != 0 ? "the flight's process crashed (" + SignalName(end.signal) + ")"
                                  : "the flight's process ended with status " +
                                        std::to_string(end.status) + " before its row";
  return SweepRow(number, values, outcome);
}

}  // namespace zenthar::zsim
