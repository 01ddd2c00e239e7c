#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zenthar::zsim {

/// How one child process ended, and what it wrote.
struct ChildEnd {
  std::string output;      ///< what the work returned, as far as it got through
  bool exited = false;     ///< it returned (status 0) or exited on its own
  int status = 0;          ///< its exit status, when it exited
  int signal = 0;          ///< the signal that ended it, or 0
  std::string notStarted;  ///< why no process could be made for the job, or empty
};

/// The name of a signal as people know it: "SIGSEGV", or its number.
std::string SignalName(int signal);

/// Runs jobs in child processes, one process per job and at most `workers` at a time. A child is a
/// copy of this process made by fork: it loads what it flies afresh (one launcher per process, as
/// the host has it), and its output comes back through a pipe. The stop signals (FlightSignals)
/// end the run: running children are ended and not reported, and Run returns the signal.
class ChildProcesses {
 public:
  /// In the child: the job's work; what it returns is the child's output. Its standard output and
  /// error go nowhere.
  using Work = std::function<std::string(std::size_t job)>;
  /// In this process, as each child ends, in the order they end; false ends the run.
  using Done = std::function<bool(std::size_t job, const ChildEnd& end)>;
  /// In this process, now and then while children run (a progress bar).
  using Tick = std::function<void()>;

  /// Returns 0 when every job ran, the stop signal that ended the run, or -1 when `done` ended it;
  /// children still running are then ended and not reported.
  static int Run(const std::vector<std::size_t>& jobs, int workers, const Work& work,
                 const Done& done, const Tick& tick = {});
};

}  // namespace zenthar::zsim
