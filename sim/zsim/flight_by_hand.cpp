#include "sim/zsim/flight_by_hand.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "sim/files/text_format.h"
#include "sim/zsim/flight_panel.h"
#include "sim/zsim/flight_signals.h"
#include "sim/zsim/pilot_keys.h"
#include "sim/zsim/replay_scenario.h"
#include "sim/zsim/terminal_screen.h"

namespace zenthar::zsim {

namespace {

using Clock = std::chrono::steady_clock;

/// Time warps . and , step through; the last is as fast as the machine goes.
const double kWarps[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, INFINITY};
const std::chrono::milliseconds kRedraw{125};
/// Longest run of frames between looks at the keyboard, when the machine cannot keep up.
const std::chrono::milliseconds kLongestBatch{40};

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

/// The shortest decimal for the time of the coming frame, within a billionth of a frame of it: a
/// press, a save or the end written with it falls on that very frame, in this flight and in its
/// replay alike.
double FrameMoment(double time, double dt) {
  for (int digits = 1; digits < 17; ++digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", digits, time);
    const double shorter = std::strtod(text, nullptr);
    if (std::fabs(shorter - time) <= 1e-9 * dt) return shorter;
  }
  return time;
}

std::string Moment(double time) {
  char text[32];
  std::snprintf(text, sizeof text, "T+%.2f s", time);
  return text;
}

double NextWarp(double warp, bool faster) {
  if (faster) {
    for (double step : kWarps)
      if (step > warp) return step;
    return warp;
  }
  double slower = kWarps[0];
  for (double step : kWarps)
    if (step < warp) slower = step;
  return slower;
}

/// The pilot at the keyboard: the pace of the flight and what the keys do to it.
class Pilot {
 public:
  Pilot(Flight& flight, World& world, const FlyOptions& options) : flight_(flight), world_(world) {
    view_.scenario = options.scenario;
    view_.warp = options.realtime > 0 ? options.realtime : 1;
    view_.message = "h shows every key";
  }

  /// Until the flight ends; false when a save fails.
  bool Fly(TerminalScreen& screen, std::string& error);

 private:
  /// What a key does; false when the flight is to end.
  bool Take(int key, std::string& error);
  /// Flies the frames the wall clock has come to; false when the flight is over.
  bool Catch(std::string& error);
  void Anchor() {
    anchorWall_ = Clock::now();
    anchorTime_ = world_.time();
  }
  /// ms until the next frame is due, at most until the next redraw.
  int Wait() const;

  Flight& flight_;
  World& world_;
  PilotView view_;
  Clock::time_point anchorWall_;
  double anchorTime_ = 0;  ///< s, simulation time at anchorWall_
  bool over_ = false;
};

bool Pilot::Fly(TerminalScreen& screen, std::string& error) {
  Anchor();
  Clock::time_point nextDraw = Clock::now();
  while (!over_ && FlightSignals::stop() == 0) {
    if (!view_.paused && !Catch(error)) break;
    if (Clock::now() >= nextDraw) {
      DrawPanel(world_, flight_, view_);
      nextDraw = Clock::now() + kRedraw;
    }
    for (int key = screen.NextKey(Wait()); key >= 0 && !over_; key = screen.NextKey(0))
      if (!Take(key, error)) over_ = true;
    if (!error.empty()) return false;
  }
  return error.empty();
}

bool Pilot::Catch(std::string& error) {
  const Clock::time_point start = Clock::now();
  const double due = anchorTime_ + Seconds(start - anchorWall_) * view_.warp;
  while (world_.time() + world_.dt <= due + 1e-9) {
    if (!flight_.Frame(error)) return false;
    // The machine cannot keep up with the warp: fly on from here rather than race to catch up.
    if (Clock::now() - start > kLongestBatch) {
      Anchor();
      break;
    }
  }
  return true;
}

int Pilot::Wait() const {
  if (view_.paused) return static_cast<int>(kRedraw.count());
  const double due = (world_.time() + world_.dt - anchorTime_) / view_.warp;  // s after anchor
  const double wait = due - Seconds(Clock::now() - anchorWall_);
  const double most = std::chrono::duration<double>(kRedraw).count();
  return static_cast<int>(1000 * (wait < 0 ? 0 : (wait > most ? most : wait)));
}

bool Pilot::Take(int key, std::string& error) {
  const PilotKey meaning = PilotKeyOf(key);
  switch (meaning.kind) {
    case PilotKey::kPress: {
      // Read back as a replay reads it, so both fly the press at the very same time.
      std::vector<ScriptedPress> presses;
      const std::string press =
          ShortNumber(FrameMoment(world_.time(), world_.dt)) + ":" + meaning.press;
      if (KeyScript::ReadPresses(press, presses, error)) world_.keyScript().Add(std::move(presses));
      view_.message = std::string(meaning.press) + " at " + Moment(world_.time());
      return error.empty();
    }
    case PilotKey::kWarpUp:
    case PilotKey::kWarpDown:
      view_.warp = NextWarp(view_.warp, meaning.kind == PilotKey::kWarpUp);
      Anchor();
      break;
    case PilotKey::kPause:
      view_.paused = !view_.paused;
      Anchor();
      break;
    case PilotKey::kSave:
      if (!flight_.SaveNow(FrameMoment(world_.time(), world_.dt), error)) return false;
      view_.message = "saved at " + Moment(world_.time());
      break;
    case PilotKey::kHelp:
      view_.help = !view_.help;
      break;
    case PilotKey::kQuit:
      return false;
    case PilotKey::kInterrupt:
      // Typed, Ctrl-C is a key in raw mode: it ends the flight as the signal does.
      FlightSignals::StopAsBy(SIGINT);
      return false;
    case PilotKey::kNone:
      view_.message = "not a key of zsim: h shows them";
      break;
  }
  DrawPanel(world_, flight_, view_);
  return true;
}

}  // namespace

bool FlyByHand(Flight& flight, World& world, const FlyOptions& options,
               const std::string& scenarioText, std::string& error) {
  flight.Start();
  bool flown = false;
  {
    TerminalScreen screen;
    Pilot pilot(flight, world, options);
    flown = pilot.Fly(screen, error);
  }
  if (!flown || !flight.Stop(error)) return false;
  const std::string replay =
      ReplayScenario(scenarioText, options.scenario, world.dt, world.keyScript(),
                     flight.savesMade(), FrameMoment(world.time(), world.dt));
  return flight.WriteFile("replay.scn", replay, error);
}

}  // namespace zenthar::zsim
