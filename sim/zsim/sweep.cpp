#include "sim/zsim/sweep.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <unordered_map>

#include "sim/files/text_format.h"
#include "sim/files/whole_file.h"
#include "sim/zsim/child_processes.h"
#include "sim/zsim/flight_signals.h"
#include "sim/zsim/messages.h"
#include "sim/zsim/printable.h"
#include "sim/zsim/progress_bar.h"
#include "sim/zsim/scenario_inputs.h"
#include "sim/zsim/sweep_plot.h"
#include "sim/zsim/sweep_points.h"
#include "sim/zsim/sweep_scenario.h"
#include "sim/zsim/sweep_table.h"

namespace zenthar::zsim {

namespace fs = std::filesystem;

namespace {

/// The path as it stands from the root, for commands run in another folder or on another machine.
std::string Absolute(const std::string& path) {
  std::error_code failed;
  const fs::path absolute = fs::weakly_canonical(fs::absolute(path), failed);
  return failed ? path : absolute.string();
}

/// A sweep read and checked: its inputs, its flights and the scenario they change.
struct SweepSetUp {
  std::vector<ScenarioInput> inputs;
  SweepPoints points;
  SweepScenario scenario;
  std::string header;
  std::size_t first = 1;  ///< the first flight's number
};

/// Every value a flight will read, read as the scenario's reader reads it, before anything flies.
bool CheckValues(const SweepSetUp& sweep, bool draws, std::string& error) {
  const std::vector<VariedInput>& varied = sweep.points.inputs();
  for (std::size_t n = 0; n < varied.size() && !draws; ++n)
    for (const OfferedValue& value : varied[n].values) {
      std::string text;
      for (const ValueField& field : value) text += (text.empty() ? "" : " ") + field.text;
      if (!CheckInputValue(sweep.inputs[n], text, error)) {
        error = "--vary " + varied[n].name + ": " + error;
        return false;
      }
    }
  for (std::size_t flight = 0; flight < sweep.points.count() && draws; ++flight) {
    const std::vector<std::string> values = sweep.points.ValuesOf(flight);
    for (std::size_t n = 0; n < values.size(); ++n)
      if (!CheckInputValue(sweep.inputs[n], values[n], error)) {
        error = "--vary " + varied[n].name + ": flight " + std::to_string(flight + 1) + " draws '" +
                values[n] + "': " + error;
        return false;
      }
  }
  return true;
}

SweepFlying FlyingOf(const SweepOptions& options) {
  SweepFlying flying;
  flying.scenario = options.scenario;
  flying.module = options.module;
  flying.classFolder = options.classFolder;
  flying.out = options.out;
  flying.until = options.until;
  flying.untilGiven = options.untilGiven;
  flying.files = options.files;
  return flying;
}

bool SetUpSweep(const SweepOptions& options, SweepSetUp& sweep, std::string& error) {
  std::vector<VariedInput> varied;
  for (const std::string& text : options.vary) {
    VariedInput input;
    ScenarioInput place;
    if (!ReadVariedInput(text, input, error)) return false;
    if (!ReadScenarioInput(input.name, place, error)) {
      error = "--vary " + error;
      return false;
    }
    for (const ScenarioInput& other : sweep.inputs)
      if (other.place == place.place && other.key == place.key) {
        error = "--vary " + input.name + ": varied twice";
        return false;
      }
    sweep.inputs.push_back(place);
    varied.push_back(input);
  }
  if (!sweep.points.Set(varied, options.draws, options.seed, error)) return false;
  if (options.flightNumber > 0 && sweep.points.count() != 1) {
    error = "--flight-number: the sweep has " + std::to_string(sweep.points.count()) +
            " flights, not one";
    return false;
  }
  sweep.first = options.flightNumber > 0 ? options.flightNumber : 1;
  if (!sweep.scenario.Prepare(FlyingOf(options), error)) return false;
  if (!CheckValues(sweep, options.draws > 0, error)) return false;
  std::vector<std::string> names;
  for (const VariedInput& input : varied) names.push_back(input.name);
  sweep.header = SweepHeader(names);
  return sweep.scenario.CanSetUp(sweep.inputs, sweep.points.ValuesOf(0), error);
}

void PlotSweep(const std::string& folder, const std::string& title, bool quiet) {
  std::string message;
  switch (DrawSweepPlot(folder, title, message)) {
    case PlotOutcome::kDrawn:
      if (!quiet) std::printf("Plot: %s/sweep.png\n", Printable(folder).c_str());
      break;
    case PlotOutcome::kNoGnuplot:
      Fail("gnuplot not found on PATH, so no sweep.png (Debian package gnuplot-nox)");
      break;
    default:
      Fail(message + ", so no sweep.png");
  }
}

int FlySweep(const SweepOptions& options, const SweepSetUp& sweep) {
  SweepTable table;
  SweepTable::Flights flights;
  flights.header = sweep.header;
  flights.first = sweep.first;
  flights.count = sweep.points.count();
  flights.valuesOf = [&sweep](std::size_t index) { return sweep.points.ValuesOf(index); };
  std::string note;
  std::string error;
  if (!table.Open(options.out, flights, note, error)) return Fail(error);
  if (!note.empty()) Fail(note);
  std::vector<std::size_t> jobs;
  for (std::size_t index = 0; index < flights.count; ++index)
    if (!table.Has(sweep.first + index)) jobs.push_back(index);
  const int workers = options.jobs > 0
                          ? options.jobs
                          : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  if (!options.quiet)
    std::printf("zsim: sweep of %zu flights of %s, %zu in %s already, %d at once\n", flights.count,
                Printable(options.scenario).c_str(), table.rows(), Printable(table.path()).c_str(),
                workers);

  const FlightSignals signals;
  ProgressBar progress(flights.count, table.rows(), !options.quiet && isatty(STDOUT_FILENO));
  std::size_t failed = 0;
  std::size_t stopped = 0;  // ended from outside: not in the table
  const auto work = [&](std::size_t index) {
    return sweep.scenario.FlyRow(sweep.inputs, sweep.points.ValuesOf(index), sweep.first + index);
  };
  const auto done = [&](std::size_t index, const ChildEnd& end) {
    const std::string row = RowOf(end, sweep.first + index, sweep.points.ValuesOf(index));
    if (row.empty()) {
      ++stopped;
      return true;
    }
    if (!RowFlown(row, sweep.inputs.size())) ++failed;
    if (!table.Append(sweep.first + index, row, error)) return false;
    progress.Show(table.rows(), failed);
    return true;
  };
  const int status =
      ChildProcesses::Run(jobs, workers, work, done, [&] { progress.Show(table.rows(), failed); });
  progress.Show(table.rows(), failed, true);
  progress.Finish();
  std::string closing;
  if (!table.Close(closing) && error.empty()) error = closing;
  if (status < 0 || !error.empty()) return Fail(error);
  if (status > 0) {
    Fail("stopped by " + std::string(FlightSignals::NameOf(status)) + ": " +
         std::to_string(table.rows()) + " of " + std::to_string(flights.count) + " flights in " +
         table.path() + "; the same command flies the rest");
    return kExitStoppedBySignal + status;
  }
  if (stopped > 0)
    return Fail(std::to_string(stopped) + " flights were ended from outside and have no row in " +
                table.path() + "; the same command flies them");
  if (!options.quiet)
    std::printf("Flights in %s: %zu, %zu of them failed (the column why says why)\n",
                Printable(table.path()).c_str(), table.rows(), failed);
  // A planned flight's rows are plotted once collected.
  if (options.flightNumber == 0)
    PlotSweep(options.out,
              "Sweep of " + BaseName(options.scenario) + ": " + std::to_string(flights.count) +
                  " flights",
              options.quiet);
  return kExitFlown;
}

/// The sweep as commands, one flight each, that a job runner runs anywhere the same paths hold.
int WritePlan(const SweepOptions& options, const SweepSetUp& sweep) {
  std::error_code failed;
  fs::create_directories(options.out, failed);
  const std::string out = Absolute(options.out);
  std::string common =
      ShellQuoted(Absolute("/proc/self/exe")) + " sweep " + ShellQuoted(Absolute(options.scenario));
  std::string tail = " --quiet";
  if (options.files) tail += " --files";
  if (options.untilGiven) tail += " --until " + ShellQuoted(FormatDouble(options.until));
  if (!options.module.empty()) tail += " --module " + ShellQuoted(Absolute(options.module));
  if (!options.classFolder.empty())
    tail += " --classes " + ShellQuoted(Absolute(options.classFolder));
  std::string plan;
  for (std::size_t index = 0; index < sweep.points.count(); ++index) {
    const std::vector<std::string> values = sweep.points.ValuesOf(index);
    plan += common;
    // Each value in double quotes: one item of a list, whatever it holds.
    for (std::size_t n = 0; n < values.size(); ++n)
      plan += " --vary " + ShellQuoted(sweep.points.inputs()[n].name + "=\"" + values[n] + "\"");
    const std::string number = std::to_string(index + 1);
    plan += " --flight-number " + number + " --out " + ShellQuoted(out + "/parts/" + number) +
            tail + "\n";
  }
  const std::string path = out + "/plan.txt";
  std::string error;
  if (!ReplaceFile(path, plan, error)) return Fail(error);
  std::printf(
      "zsim: %zu flights planned in %s, one command a line. Run them, e.g.\n"
      "  parallel < %s\n"
      "then make one sweep.csv of their rows:\n"
      "  zsim sweep --collect %s --out %s\n",
      sweep.points.count(), Printable(path).c_str(), ShellQuoted(Printable(path)).c_str(),
      ShellQuoted(Printable(out + "/parts")).c_str(), ShellQuoted(Printable(out)).c_str());
  return kExitFlown;
}

/// The sweep.csv files a --collect folder stands for: its own, or those of its folders.
bool SweepFilesIn(const std::string& folder, std::vector<std::string>& files, std::string& error) {
  std::error_code failed;
  if (fs::is_regular_file(folder + "/sweep.csv", failed)) {
    files.push_back(folder + "/sweep.csv");
    return true;
  }
  std::vector<std::string> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, failed))
    if (fs::is_regular_file(entry.path() / "sweep.csv", failed))
      found.push_back((entry.path() / "sweep.csv").string());
  if (found.empty()) {
    error = folder + ": no sweep.csv in it or in its folders";
    return false;
  }
  std::sort(found.begin(), found.end());
  files.insert(files.end(), found.begin(), found.end());
  return true;
}

/// The flights from 1 to the last with a row that have none, rows in flight order: "5, 9, 12",
/// and "and N more" after ten. Counted by the gaps, not flight by flight: a planned flight's number
/// may be as large as 1e18.
std::string MissingFlights(const std::vector<SweepRowRead>& rows) {
  std::string text;
  std::size_t listed = 0;
  std::size_t more = 0;
  std::size_t expected = 1;
  for (const SweepRowRead& row : rows) {
    for (; expected < row.number && listed < 10; ++expected, ++listed)
      text += (listed ? ", " : "") + std::to_string(expected);
    more += row.number - std::min(row.number, expected);
    expected = row.number + 1;
  }
  return more > 0 ? text + " and " + std::to_string(more) + " more" : text;
}

int Collect(const SweepOptions& options) {
  std::vector<std::string> files;
  std::string error;
  for (const std::string& folder : options.collect)
    if (!SweepFilesIn(folder, files, error)) return Fail(error);
  std::error_code failed;
  fs::create_directories(options.out, failed);
  const std::string path = options.out + "/sweep.csv";
  // The rows collected before stay, unless the folder is one of those collected.
  bool listed = false;
  for (const std::string& file : files) listed = listed || fs::equivalent(file, path, failed);
  if (!listed && fs::is_regular_file(path, failed)) files.insert(files.begin(), path);

  std::string header;
  std::vector<SweepRowRead> merged;
  std::unordered_map<std::size_t, std::size_t> byNumber;  // flight -> its row in merged
  for (const std::string& file : files) {
    std::string fileHeader;
    std::vector<SweepRowRead> rows;
    std::size_t wholeBytes = 0;
    if (!ReadSweepFile(file, fileHeader, rows, wholeBytes, error)) return Fail(error);
    if (fileHeader.empty()) continue;  // a planned flight still starting
    if (fs::file_size(file, failed) > wholeBytes) Fail(file + ": an unfinished last row left out");
    if (header.empty()) header = fileHeader;
    if (fileHeader != header)
      return Fail(file + ": the rows of another sweep (" + Printable(fileHeader) + ")");
    for (SweepRowRead& row : rows) {
      const auto seen = byNumber.find(row.number);
      if (seen == byNumber.end()) {
        byNumber[row.number] = merged.size();
        merged.push_back(std::move(row));
      } else if (merged[seen->second].line != row.line) {
        return Fail("flight " + std::to_string(row.number) + " has two different rows, in " + file +
                    " and another of the folders");
      }
    }
  }
  if (header.empty()) return Fail("no rows to collect");
  if (!WriteSweepFile(path, header, merged, error)) return Fail(error);
  std::sort(merged.begin(), merged.end(),
            [](const SweepRowRead& a, const SweepRowRead& b) { return a.number < b.number; });
  const std::string missing = MissingFlights(merged);
  if (!options.quiet)
    std::printf("Flights in %s: %zu, from %zu files\n", Printable(path).c_str(), merged.size(),
                files.size());
  if (!missing.empty()) Fail("flights without a row (not flown yet?): " + missing);
  PlotSweep(options.out, "Sweep: " + std::to_string(merged.size()) + " flights", options.quiet);
  return kExitFlown;
}

}  // namespace

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

int Sweep(const SweepOptions& options) {
  if (!options.collect.empty()) return Collect(options);
  SweepSetUp sweep;
  std::string error;
  if (!SetUpSweep(options, sweep, error)) return Fail(error);
  return options.plan ? WritePlan(options, sweep) : FlySweep(options, sweep);
}

}  // namespace zenthar::zsim
