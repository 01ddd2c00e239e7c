#include "sim/zsim/flight.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "sim/scenario_file.h"
#include "sim/world.h"
#include "sim/zsim/event_log.h"
#include "sim/zsim/install_layout.h"
#include "sim/zsim/output_folder.h"
#include "sim/zsim/plot.h"
#include "sim/zsim/realtime.h"
#include "sim/zsim/summary.h"
#include "sim/zsim/telemetry.h"
#include "sim/zsim/trace.h"
#include "sim/zsim/world_setup.h"

namespace {

// Set by Ctrl-C: the flight stops at the end of the frame and its files are written. A second
// Ctrl-C stops zsim at once.
volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void OnInterrupt(int) {
  interruptRequested = 1;
  std::signal(SIGINT, SIG_DFL);
}

/// The files zsim writes under fixed names; an earlier flight's that this one did not write go.
const std::vector<std::string> kOwnFiles = {"events.csv", "telemetry.csv", "summary.txt",
                                            "flight.png", "trace.log"};

int Fail(const std::string& message, int status) {
  std::fprintf(stderr, "zsim: %s\n", message.c_str());
  return status;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

/// A file opened for writing with a large buffer, so the per-frame path makes no system calls.
File OpenForWriting(const std::string& path, std::string& error) {
  File file(std::fopen(path.c_str(), "w"));
  if (!file) {
    error = path + ": cannot be written";
    return file;
  }
  std::setvbuf(file.get(), nullptr, _IOFBF, 1 << 16);
  return file;
}

/// Closes a file; false when anything written to it was lost.
bool Close(File& file) {
  const bool failed = std::ferror(file.get()) != 0;
  return std::fclose(file.release()) == 0 && !failed;
}

std::string BaseName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SaveName(double time) {
  char name[64];
  std::snprintf(name, sizeof name, "saved_%g.scn", time);
  return name;
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
  File file = OpenForWriting(path, error);
  if (!file) return false;
  std::fputs(text.c_str(), file.get());
  if (Close(file)) return true;
  error = path + ": cannot be written";
  return false;
}

void Plot(const FlyOptions& options, const OutputFolder& out, const EventLog& log,
          const Telemetry& telemetry, double endTime) {
  const Peak& q = telemetry.maxDynamicPressure();
  const Peak& a = telemetry.maxAcceleration();
  char peaks[160];
  std::snprintf(peaks, sizeof peaks,
                "max dynamic pressure %.1f kPa at T+%.1f s, max acceleration %.1f m/s² at T+%.1f s",
                q.value / 1000, q.time, a.value, a.time);
  PlotRequest request;
  request.telemetryCsv = out.Staged("telemetry.csv");
  request.png = out.Staged("flight.png");
  request.script = out.Staged("flight.gp.part");
  request.log = out.Staged("gnuplot.log.part");
  request.title = "Vantor flight: " + BaseName(options.scenario) + "\n" + peaks;
  request.endTime = endTime;
  request.marks = PlotMarks(log.events(), 0.015 * endTime);
  std::string message;
  switch (DrawPlot(request, message)) {
    case PlotOutcome::kDrawn:
      break;
    case PlotOutcome::kNoGnuplot:
      std::fprintf(stderr,
                   "zsim: gnuplot not found on PATH, so no flight.png (Debian package "
                   "gnuplot-nox)\n");
      break;
    case PlotOutcome::kFailed:
      std::fprintf(stderr, "zsim: %s, so no flight.png\n", message.c_str());
      break;
  }
}

/// One flight of a world that is set up: its frames with the saves asked for, what it records
/// as it goes, and the files it leaves.
class Flight {
 public:
  Flight(const FlyOptions& options, World& world) : options_(options), world_(world), log_(world) {}

  /// Opens the output files in the staging folder.
  bool Open(std::string& error);
  /// Runs the frames up to the end time, or until Ctrl-C (then true in `interrupted`). False
  /// when a save fails.
  bool Run(bool& interrupted, std::string& error);
  /// Ends the world and writes the summary, the events, the plot; moves the files in.
  bool Finish(bool interrupted, std::string& error);

 private:
  bool SaveDue(std::string& error);
  /// After anything happened: new events to the terminal, new calls to the trace.
  void Take();

  const FlyOptions& options_;
  World& world_;
  OutputFolder out_;
  File telemetryFile_;
  File traceFile_;
  std::optional<TraceWriter> trace_;
  std::optional<Telemetry> telemetry_;
  std::unique_ptr<RealtimeWatch> watch_;
  EventLog log_;
  std::size_t nextSave_ = 0;
  std::string summary_;
};

bool Flight::Open(std::string& error) {
  if (!out_.Open(options_.out, error)) return false;
  telemetryFile_ = OpenForWriting(out_.Staged("telemetry.csv"), error);
  if (!telemetryFile_) return false;
  telemetry_.emplace(world_, options_.every, telemetryFile_.get());
  if (options_.trace) {
    traceFile_ = OpenForWriting(out_.Staged("trace.log"), error);
    if (!traceFile_) return false;
    char about[64];
    std::snprintf(about, sizeof about, ", dt %.17g s", world_.dt);
    trace_.emplace(traceFile_.get(), options_.scenario + about);
  }
  if (options_.realtime > 0)
    watch_ = std::make_unique<RealtimeWatch>(options_.realtime, world_.time(),
                                             !options_.quiet && isatty(STDOUT_FILENO));
  return true;
}

void Flight::Take() {
  const std::size_t fresh = log_.Observe();
  if (trace_) trace_->Drain(world_.journal());
  if (fresh == 0 || options_.quiet) return;
  if (watch_) watch_->ClearStatus();
  for (const std::string& line : TimelineLines(log_.events(), log_.events().size() - fresh))
    std::printf("%s\n", line.c_str());
  if (watch_) std::fflush(stdout);
}

bool Flight::SaveDue(std::string& error) {
  for (; nextSave_ < options_.saveAt.size() && world_.time() + 1e-9 >= options_.saveAt[nextSave_];
       ++nextSave_) {
    const std::string name = SaveName(options_.saveAt[nextSave_]);
    if (!SaveScenarioFile(world_, out_.Staged(name), error)) {
      error = out_.Final(name) + ": cannot be written";
      return false;
    }
    world_.Report("saved", log_.vehicle() ? log_.vehicle()->name : std::string(), out_.Final(name));
    Take();
  }
  return true;
}

bool Flight::Run(bool& interrupted, std::string& error) {
  if (!options_.quiet) {
    const std::string keys = world_.keyScript().ToString();
    std::printf("zsim: flying %s in frames of %g s until T+%g s, keys %s\n",
                options_.scenario.c_str(), world_.dt, options_.until,
                keys.empty() ? "none" : keys.c_str());
  }
  Take();
  telemetry_->Record(log_.vehicle());

  interruptRequested = 0;
  std::signal(SIGINT, OnInterrupt);
  interrupted = false;
  bool saved = true;
  for (;;) {
    saved = SaveDue(error);
    if (!saved || world_.time() >= options_.until - 1e-9) break;
    if (interruptRequested) {
      interrupted = true;
      break;
    }
    telemetry_->BeforeFrame(log_.vehicle());
    world_.Step();
    Take();
    telemetry_->Record(log_.vehicle());
    if (watch_) watch_->Pace(telemetry_->last(), log_.phase());
  }
  std::signal(SIGINT, SIG_DFL);
  if (watch_) watch_->ClearStatus();
  return saved;
}

bool Flight::Finish(bool interrupted, std::string& error) {
  summary_ = FlightSummary(world_, options_.scenario, log_, *telemetry_, interrupted);
  const double endTime = world_.time();
  world_.End();
  if (trace_) {
    trace_->Drain(world_.journal());
    if (!Close(traceFile_)) error = out_.Final("trace.log") + ": cannot be written";
  }
  if (!Close(telemetryFile_)) error = out_.Final("telemetry.csv") + ": cannot be written";
  if (!error.empty()) return false;
  File events = OpenForWriting(out_.Staged("events.csv"), error);
  if (!events) return false;
  WriteEventsCsv(events.get(), log_.events());
  if (!Close(events)) {
    error = out_.Final("events.csv") + ": cannot be written";
    return false;
  }
  if (!WriteText(out_.Staged("summary.txt"), summary_, error)) return false;
  if (!options_.noPlot) Plot(options_, out_, log_, *telemetry_, endTime);
  if (!out_.Commit(kOwnFiles, error)) return false;

  if (!options_.quiet) std::printf("\n%s\n", summary_.c_str());
  std::string files;
  for (const std::string& name : out_.committed()) files += (files.empty() ? "" : ", ") + name;
  std::printf("Files in %s/: %s\n", out_.folder().c_str(), files.c_str());
  return true;
}

}  // namespace

int Fly(const FlyOptions& options) {
  World world;
  std::string error;
  if (!SetUpWorld(world, options, FindInstallLayout(), error)) return Fail(error, kExitCannotFly);
  for (const HostEvent& event : world.events())
    if (event.kind == "warning")
      std::fprintf(stderr, "zsim: warning: %s: %s\n", event.vessel.c_str(), event.detail.c_str());
  Flight flight(options, world);
  bool interrupted = false;
  if (!flight.Open(error) || !flight.Run(interrupted, error) || !flight.Finish(interrupted, error))
    return Fail(error, kExitCannotFly);
  return interrupted ? kExitInterrupted : kExitFlown;
}
