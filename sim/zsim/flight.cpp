#include "sim/zsim/flight.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim/files/scenario_file.h"
#include "sim/files/text_format.h"
#include "sim/guidance/autopilot.h"
#include "sim/world/world.h"
#include "sim/zsim/event_log.h"
#include "sim/zsim/flight_by_hand.h"
#include "sim/zsim/flight_kml.h"
#include "sim/zsim/flight_signals.h"
#include "sim/zsim/ground_track.h"
#include "sim/zsim/groundtrack_plot.h"
#include "sim/zsim/install_layout.h"
#include "sim/zsim/messages.h"
#include "sim/zsim/output_folder.h"
#include "sim/zsim/plot.h"
#include "sim/zsim/printable.h"
#include "sim/zsim/realtime.h"
#include "sim/zsim/summary.h"
#include "sim/zsim/telemetry.h"
#include "sim/zsim/terminal_screen.h"
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

/// bytes written to a file at once
const std::size_t kFileBufferSize = 1 << 16;

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

/// saved_T.scn with T in six digits (saved_100.scn), or as many more as it takes to read back as
/// the same time, so that two save times never share a name.
std::string SaveName(double time) {
  return "saved_" + ShortestDigits(time, 6) + ".scn";
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
  // The text is in memory already: it goes to the file at once, through no buffer of the file's.
  File file(std::fopen(path.c_str(), "w"));
  if (!file) {
    error = path + ": cannot be written";
    return false;
  }
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  std::fputs(text.c_str(), file.get());
  if (Close(file)) return true;
  error = path + ": cannot be written";
  return false;
}

/// What became of a picture: false only when gnuplot left it incomplete. Other failures leave no
/// picture and are told on stderr.
bool Drawn(PlotOutcome outcome, const std::string& message, const OutputFolder& out,
           const char* png, std::string& error) {
  switch (outcome) {
    case PlotOutcome::kDrawn:
      break;
    case PlotOutcome::kNoGnuplot:
      std::fprintf(stderr,
                   "zsim: gnuplot not found on PATH, so no %s (Debian package gnuplot-nox)\n", png);
      break;
    case PlotOutcome::kFailed:
      std::fprintf(stderr, "zsim: %s, so no %s\n", Printable(message).c_str(), png);
      break;
    case PlotOutcome::kIncomplete:
      error = out.Final(png) + ": cannot be written: " + message;
      return false;
  }
  return true;
}

/// Draws flight.png and groundtrack.png in the staging folder; false only when gnuplot left one
/// incomplete.
bool Plot(const FlyOptions& options, const OutputFolder& out, const EventLog& log,
          const Telemetry& telemetry, const GroundTracks& tracks, double endTime,
          std::string& error) {
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
  if (!Drawn(DrawPlot(request, message), message, out, "flight.png", error)) return false;
  GroundTrackRequest ground;
  ground.folder = request.folder;
  ground.titleLines = {"Ground track: " + BaseName(options.scenario)};
  ground.tracks = &tracks.tracks();
  ground.events = &log.events();
  // Without gnuplot the first picture has said so already.
  const PlotOutcome outcome = DrawGroundTrack(ground, message);
  return outcome == PlotOutcome::kNoGnuplot ||
         Drawn(outcome, message, out, "groundtrack.png", error);
}

}  // namespace

Flight::Flight(const FlyOptions& options, World& world)
    : options_(options),
      world_(world),
      log_(world),
      tracks_(world, kTrackInterval),
      saveAt_(options.saveAt) {}

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
  if (options_.realtime > 0 && !options_.interactive)
    watch_ = std::make_unique<RealtimeWatch>(options_.realtime, world_.time(),
                                             !options_.quiet && isatty(STDOUT_FILENO));
  return true;
}

void Flight::Take(bool flown) {
  log_.Observe();
  if (trace_) trace_->Drain(world_.journal());
  const std::size_t count = log_.events().size();
  if (shown_ == count || options_.quiet || options_.interactive || (world_.frame() == 0 && !flown))
    return;
  if (watch_) watch_->ClearStatus();
  for (const std::string& line : TimelineLines(log_.events(), shown_))
    std::printf("%s\n", line.c_str());
  shown_ = count;
  if (watch_) std::fflush(stdout);
}

bool Flight::SaveDue(std::string& error) {
  for (; nextSave_ < saveAt_.size() && world_.time() + 1e-9 >= saveAt_[nextSave_]; ++nextSave_) {
    const std::string name = SaveName(saveAt_[nextSave_]);
    if (!SaveScenarioFile(world_, out_.Staged(name), error)) {
      error = out_.Final(name) + ": cannot be written";
      return false;
    }
    world_.Report("saved", log_.vehicle() ? log_.vehicle()->name : std::string(), out_.Final(name));
    Take();
  }
  return true;
}

bool Flight::SaveNow(double now, std::string& error) {
  // Every save before this one is made: the new one goes after them, unless made already.
  const auto at = std::lower_bound(saveAt_.begin() + static_cast<std::ptrdiff_t>(nextSave_),
                                   saveAt_.end(), now);
  const bool made = nextSave_ > 0 && std::fabs(saveAt_[nextSave_ - 1] - now) <= 1e-9;
  if (!made && (at == saveAt_.end() || *at != now)) saveAt_.insert(at, now);
  return SaveDue(error);
}

std::vector<double> Flight::savesMade() const {
  return {saveAt_.begin(), saveAt_.begin() + static_cast<std::ptrdiff_t>(nextSave_)};
}

void Flight::Start() {
  if (!options_.quiet && !options_.interactive) {
    const std::string keys = world_.keyScript().ToString();
    char end[80];
    if (options_.endsAfterRelease)
      std::snprintf(end, sizeof end, "%g s after the satellite's release", kAfterRelease);
    else
      std::snprintf(end, sizeof end, "T+%g s", options_.until);
    std::printf("zsim: flying %s in frames of %g s until %s, keys %s\n",
                Printable(options_.scenario).c_str(), world_.dt, end,
                keys.empty() ? "none" : keys.c_str());
  }
  Take();
  telemetry_->Start(log_.vehicle());
  tracks_.Record();
}

bool Flight::Frame(std::string& error) {
  if (!SaveDue(error) || FlightOver(world_, options_)) return false;
  stopSignal_ = FlightSignals::stop();
  if (stopSignal_ != 0) return false;
  telemetry_->BeforeFrame(log_.vehicle());
  world_.Step();
  Take();
  telemetry_->Record(log_.vehicle());
  tracks_.Record();
  if (watch_) {
    watch_->Pace(world_.time());
    if (watch_->StatusDue()) watch_->ShowStatus(telemetry_->last(), log_.phase());
  }
  return true;
}

bool Flight::Stop(std::string& error) {
  stopSignal_ = FlightSignals::stop();
  const bool saved = SaveDue(error);
  telemetry_->Finish();
  Take(true);
  if (watch_) watch_->ClearStatus();
  return saved;
}

bool Flight::Run(std::string& error) {
  Start();
  while (Frame(error)) {
  }
  return error.empty() && Stop(error);
}

bool Flight::WriteFile(const std::string& name, const std::string& text, std::string& error) {
  if (WriteText(out_.Staged(name), text, error)) return true;
  error = out_.Final(name) + ": cannot be written";
  return false;
}

bool Flight::Finish(std::string& error) {
  summary_ = FlightSummary(world_, options_.scenario, log_, *telemetry_,
                           stopSignal_ ? FlightSignals::NameOf(stopSignal_) : "");
  const double endTime = world_.time();
  tracks_.Finish();
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
  const std::string kml =
      FlightKml("Vantor flight: " + BaseName(options_.scenario), tracks_.tracks(), log_.events());
  if (!WriteText(out_.Staged("flight.kml"), kml, error)) return false;
  if (!options_.noPlot && !Plot(options_, out_, log_, *telemetry_, tracks_, endTime, error))
    return false;
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

int Fly(FlyOptions options) {
  if (options.interactive && !(isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)))
    return Fail("--interactive: standard input and output must be a terminal", kExitBadCommandLine);
  std::string error;
  if (options.interactive && !TerminalScreen::Load(error))
    return Fail("--interactive: " + error, kExitCannotFly);
  const FlightSignals signals;
  World world;
  std::string scenarioText;
  if (!SetUpWorld(world, options, FindInstallLayout(), error,
                  options.interactive ? &scenarioText : nullptr))
    return Fail(error, kExitCannotFly);
  const int unschedulable = ScheduleFlight(world, options, error);
  if (unschedulable >= 0) return Fail(error, unschedulable);
  for (const HostEvent& event : world.events())
    if (event.kind == "warning")
      std::fprintf(stderr, "zsim: warning: %s: %s\n", Printable(event.vessel).c_str(),
                   Printable(event.detail).c_str());
  Flight flight(options, world);
  if (!flight.Open(error)) return Fail(error, kExitCannotFly);
  const bool flown = options.interactive ? FlyByHand(flight, world, options, scenarioText, error)
                                         : flight.Run(error);
  if (!flown || !flight.Finish(error)) return Fail(error, kExitCannotFly);
  return FlightSignals::stop() ? kExitStoppedBySignal + FlightSignals::stop() : kExitFlown;
}

}  // namespace zenthar::zsim
