#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/world/world.h"
#include "sim/zsim/command_line.h"
#include "sim/zsim/event_log.h"
#include "sim/zsim/ground_track.h"
#include "sim/zsim/output_folder.h"
#include "sim/zsim/realtime.h"
#include "sim/zsim/telemetry.h"
#include "sim/zsim/trace.h"

namespace zenthar::zsim {

/// Flies the scenario the options name: the timeline on the terminal as it happens, then the
/// summary; telemetry.csv, events.csv, summary.txt, flight.png, trace.log and the saved worlds in
/// the output folder. By hand (--interactive) in the terminal instead. Returns zsim's exit status.
int Fly(FlyOptions options);

struct FileCloser {
  std::unique_ptr<char[]> buffer;  ///< the file's buffer, freed only after the file is closed
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

/// One flight of a world that is set up: its frames with the saves asked for, what it records
/// as it goes, and the files it leaves. Run flies it headless; a pilot at the terminal flies it
/// frame by frame (Start, Frame, SaveNow, Stop).
/// s between the points of a track over the ground.
constexpr double kTrackInterval = 1.0;

class Flight {
 public:
  Flight(const FlyOptions& options, World& world);

  /// Opens the output files in the staging folder.
  bool Open(std::string& error);
  /// Runs the frames up to the end time, or until a stop signal. False when a save fails.
  bool Run(std::string& error);

  /// Before the first frame: the load's events and telemetry.
  void Start();
  /// Saves what is due, then flies one frame. False when no frame was flown: the end time has come,
  /// a stop signal came, or a save failed (then with `error`).
  bool Frame(std::string& error);
  /// Saves the world as it is now, under `time` (s): now as the pilot writes it, within a hair of
  /// the simulation time. Once for a moment.
  bool SaveNow(double time, std::string& error);
  /// After the last frame: the saves due now, the last telemetry and events. False when a save
  /// fails.
  bool Stop(std::string& error);

  /// A further file of the flight, moved in with the others (replay.scn).
  bool WriteFile(const std::string& name, const std::string& text, std::string& error);
  /// Ends the world and writes the summary, the events, the plot; moves the files in.
  bool Finish(std::string& error);

  const EventLog& log() const { return log_; }
  const Telemetry& telemetry() const { return *telemetry_; }
  /// s, the times at which the world was saved so far.
  std::vector<double> savesMade() const;

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
  GroundTracks tracks_;
  std::vector<double> saveAt_;  ///< s, ascending: the options' saves and the pilot's
  std::size_t nextSave_ = 0;
  std::size_t shown_ = 0;  ///< events on the terminal so far
  int stopSignal_ = 0;     ///< what stopped the flight early, or 0
  std::string summary_;
};

}  // namespace zenthar::zsim
