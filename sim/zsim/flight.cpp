#include "sim/zsim/flight.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "sim/files/scenario_file.h"
#include "sim/files/text_format.h"
#include "sim/world/world.h"
#include "sim/zsim/event_log.h"
#include "sim/zsim/flight_signals.h"
#include "sim/zsim/install_layout.h"
#include "sim/zsim/output_folder.h"
#include "sim/zsim/plot.h"
#include "sim/zsim/printable.h"
#include "sim/zsim/realtime.h"
#include "sim/zsim/summary.h"
#include "sim/zsim/telemetry.h"
#include "sim/zsim/trace.h"
#include "sim/zsim/world_setup.h"

namespace zenthar::zsim {

namespace {

/// Every file a flight may leave in its folder: one flight's files replace another's as a whole.
bool FlightFile(const std::string& name) {
  static const char* const kNames[] = {"events.csv",      "telemetry.csv", "summary.txt",
                                       "flight.png",      "trace.log",     "flight.kml",
                                       "groundtrack.png", "replay.scn"};
  for (const char* own : kNames)
    if (name == own) return true;
  const std::string prefix = "saved_";
  const std::string suffix = ".scn";
  return name.size() > prefix.size() + suffix.size() &&
         name.compare(0, prefix.size(), prefix) == 0 &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int Fail(const std::string& message, int status) {
  std::fprintf(stderr, "zsim: %s\n", Printable(message).c_str());
  return status;
}

/// bytes written to a file at once
const std::size_t kFileBufferSize = 1 << 16;

struct FileCloser {
  std::unique_ptr<char[]> buffer;  ///< the file's buffer, freed only after the file is closed
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

/// A file opened for writing with a large buffer of its own, so the per-frame path makes few
/// system calls (without a buffer of its own, the C library keeps to a block of 4 KiB).
File OpenForWriting(const std::string& path, std::string& error) {
  File file(std::fopen(path.c_str(), "w"),
            FileCloser{std::unique_ptr<char[]>(new char[kFileBufferSize])});
  if (!file) {
    error = path + ": cannot be written";
    return file;
  }
  std::setvbuf(file.get(), file.get_deleter().buffer.get(), _IOFBF, kFileBufferSize);
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

/// saved_T.scn with T in six digits (saved_100.scn), or as many more as it takes to read back as
/// the same time, so that two save times never share a name.
std::string SaveName(double time) {
  return "saved_" + ShortestDigits(time, 6) + ".scn";
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
  File file = OpenForWriting(path, error);
  if (!file) return false;
  std::fputs(text.c_str(), file.get());
  if (Close(file)) return true;
  error = path + ": cannot be written";
  return false;
}

/// Draws flight.png in the staging folder; false only when gnuplot left it incomplete. Other
/// failures leave no picture and are told on stderr.
bool Plot(const FlyOptions& options, const OutputFolder& out, const EventLog& log,
          const Telemetry& telemetry, double endTime, std::string& error) {
  const Peak& q = telemetry.maxDynamicPressure();
  const Peak& a = telemetry.maxAcceleration();
  char peaks[160];
  if (q.value > 0)
    std::snprintf(peaks, sizeof peaks, "max dynamic pressure %.1f kPa at T+%.1f s, ",
                  q.value / 1000, q.time);
  else
    std::snprintf(peaks, sizeof peaks, "met no air, ");
  char acceleration[80];
  std::snprintf(acceleration, sizeof acceleration, "max acceleration %.1f m/s² at T+%.1f s",
                a.value, a.time);
  PlotRequest request;
  request.folder = out.Staged("");
  request.titleLines = {"Vantor flight: " + BaseName(options.scenario),
                        std::string(peaks) + acceleration};
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
      std::fprintf(stderr, "zsim: %s, so no flight.png\n", Printable(message).c_str());
      break;
    case PlotOutcome::kIncomplete:
      error = out.Final("flight.png") + ": cannot be written: " + message;
      return false;
  }
  return true;
}

/// One flight of a world that is set up: its frames with the saves asked for, what it records
/// as it goes, and the files it leaves.
class Flight {
 public:
  Flight(const FlyOptions& options, World& world) : options_(options), world_(world), log_(world) {}

  /// Opens the output files in the staging folder.
  bool Open(std::string& error);
  /// Runs the frames up to the end time, or until a stop signal. False when a save fails.
  bool Run(std::string& error);
  /// Ends the world and writes the summary, the events, the plot; moves the files in.
  bool Finish(std::string& error);

 private:
  bool SaveDue(std::string& error);
  /// After anything happened: new calls to the trace, new events to the terminal once the first
  /// frame has put the load into effect (or `flown` says no frame comes).
  void Take(bool flown = false);

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
  std::size_t shown_ = 0;  ///< events on the terminal so far
  int stopSignal_ = 0;     ///< what stopped the flight early, or 0
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
    trace_.emplace(traceFile_.get(),
                   TraceField(options_.scenario) + ", dt " + FormatDouble(world_.dt) + " s");
  }
  if (options_.realtime > 0)
    watch_ = std::make_unique<RealtimeWatch>(options_.realtime, world_.time(),
                                             !options_.quiet && isatty(STDOUT_FILENO));
  return true;
}

void Flight::Take(bool flown) {
  log_.Observe();
  if (trace_) trace_->Drain(world_.journal());
  const std::size_t count = log_.events().size();
  if (shown_ == count || options_.quiet || (world_.frame() == 0 && !flown)) return;
  if (watch_) watch_->ClearStatus();
  for (const std::string& line : TimelineLines(log_.events(), shown_))
    std::printf("%s\n", line.c_str());
  shown_ = count;
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

bool Flight::Run(std::string& error) {
  if (!options_.quiet) {
    const std::string keys = world_.keyScript().ToString();
    std::printf("zsim: flying %s in frames of %g s until T+%g s, keys %s\n",
                Printable(options_.scenario).c_str(), world_.dt, options_.until,
                keys.empty() ? "none" : keys.c_str());
  }
  Take();
  telemetry_->Start(log_.vehicle());

  bool saved = true;
  for (;;) {
    saved = SaveDue(error);
    if (!saved || world_.time() >= options_.until - 1e-9) break;
    stopSignal_ = FlightSignals::stop();
    if (stopSignal_ != 0) break;
    telemetry_->BeforeFrame(log_.vehicle());
    world_.Step();
    Take();
    telemetry_->Record(log_.vehicle());
    if (watch_) watch_->Pace(telemetry_->last(), log_.phase());
  }
  telemetry_->Finish();
  Take(true);
  if (watch_) watch_->ClearStatus();
  return saved;
}

bool Flight::Finish(std::string& error) {
  summary_ = FlightSummary(world_, options_.scenario, log_, *telemetry_,
                           stopSignal_ ? FlightSignals::NameOf(stopSignal_) : "");
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
  if (!options_.noPlot && !Plot(options_, out_, log_, *telemetry_, endTime, error)) return false;
  {
    const StopSignalsHeld held;
    if (!out_.Commit(FlightFile, error)) return false;
  }

  if (!options_.quiet) std::printf("\n%s\n", summary_.c_str());
  std::string files;
  for (const std::string& name : out_.committed()) files += (files.empty() ? "" : ", ") + name;
  std::printf("Files in %s/: %s\n", Printable(out_.folder()).c_str(), files.c_str());
  return true;
}

}  // namespace

int Fly(const FlyOptions& options) {
  const FlightSignals signals;
  World world;
  std::string error;
  if (!SetUpWorld(world, options, FindInstallLayout(), error)) return Fail(error, kExitCannotFly);
  for (const HostEvent& event : world.events())
    if (event.kind == "warning")
      std::fprintf(stderr, "zsim: warning: %s: %s\n", event.vessel.c_str(), event.detail.c_str());
  Flight flight(options, world);
  if (!flight.Open(error) || !flight.Run(error) || !flight.Finish(error))
    return Fail(error, kExitCannotFly);
  return FlightSignals::stop() ? kExitStoppedBySignal + FlightSignals::stop() : kExitFlown;
}

}  // namespace zenthar::zsim
