#pragma once

#include <cmath>
#include <string>

#include "host/vector3.h"
#include "sim/guidance/launcher_model.h"
#include "sim/guidance/mission_plan.h"
#include "sim/guidance/target_orbit.h"
#include "sim/world/key_script.h"

namespace zenthar {

class World;
struct VesselState;

namespace guidance {

/// s from engaging the guidance on the pad to its E.
constexpr double kCountdown = 5;

/// The host's autopilot for a launcher with a target orbit: it flies it from the pad to the target
/// and releases the satellite there, with what a pilot of the host has: the main engine's level and
/// the attitude, set directly every frame, and the module's own keys E (ignition) and J (fairing,
/// then satellite), pressed through the host's key state. It flies while the launcher's steering is
/// the autopilot; the pilot's controls take the launcher from it, and the autopilot key gives it
/// back, to fly on from where the flight then stands.
class Autopilot {
 public:
  enum class Phase {
    kCountdown,    ///< on the pad; E is pressed at the launch time
    kBoosterBurn,  ///< straight up, the kick, the gravity turn
    kCoreBurn,  ///< steered by the solved law, re-solved as it flies; ends on the insertion orbit
    kCoast,     ///< engine off, to the apoapsis burn
    kApoapsisBurn,  ///< raises the periapsis to the target's
    kRelease,       ///< turns the satellite's push across the orbit and presses J
    kDone,          ///< the satellite has left (or the launcher is down)
  };

  /// Plans the mission of a launcher standing on the pad, E kCountdown seconds from now, or takes
  /// over one in flight, and reports the plan, or why the target is beyond reach (a "guidance"
  /// event, or a "warning").
  Autopilot(World& world, VesselState& launcher);

  /// One frame, once the air is sampled and before the keys go to the module: attitude,
  /// main-engine level, key presses.
  void Fly();
  /// Sets the keys the autopilot holds down in the frame (bit 7) in the keyboard state.
  void HoldKeys(long frame, double dt, unsigned char keyState[256]) const;

  Phase phase() const { return phase_; }
  /// "countdown", "booster burn", "core burn", "coast", "apoapsis burn", "release", "done".
  static const char* PhaseName(Phase phase);
  /// s: when the satellite left (or the flight ended); meaningful once the phase is kDone.
  double doneTime() const { return doneTime_; }
  const MissionPlan& plan() const { return plan_; }
  const TargetOrbit& target() const { return target_; }
  /// kg the launcher carries besides itself, as its empty mass tells it.
  double payload() const { return payload_; }
  /// m/s the launcher's thrust has given it since the guidance was engaged, up to the release.
  double deltaV() const { return deltaV_; }
  /// The satellite once it has left the launcher, or null.
  const VesselState* satellite() const { return satellite_; }

 private:
  ModelSetup SetupFor(double ignitionTime) const;
  ModelState StateNow() const;
  bool BoostersAttached() const;
  void Press(const char* key);
  /// J for the fairing, at time t (s).
  void DropFairing(double t);
  void Report(const std::string& what);
  /// Turns the launcher: nose along `nose_I`, its side towards `across_I`.
  void PointNose(const VECTOR3& nose_I, const VECTOR3& across_I);
  /// Sets the main engine's level, 0 to 1.
  void SetLevel(double level);

  /// Plans the mission from the pad with E at `launchTime` (s).
  void PlanFromPad(double launchTime);
  /// Takes over a launcher already off the pad, from where its flight stands.
  void TakeOver();
  /// The autopilot key gives the launcher back after the pilot flew it.
  void Resume();
  void MeasureThrust();
  bool SatelliteLeft();
  void StartCoreBurn();
  void CoreBurn();
  void Replan(int iterations);
  /// The ascent burn is found to fall short: it aims at the highest apoapsis it still reaches, or,
  /// when no orbit is within reach, burns to the end.
  void FallShort();
  void StartCoast();
  void Finish(const char* why);
  /// The satellite's orbit against the target, as the flight ends.
  void ReportOrbit();
  void Release();
  /// One frame of a burn that ends in the orbit (periapsis, apoapsis radii): along the velocity
  /// still missing, at full level until one frame delivers the rest exactly. True when this frame
  /// is the burn's last.
  bool BurnTowards(double periapsis, double apoapsis, bool pushAllowed);
  /// m/s: the velocity the launcher must have at `position_I` to be on the orbit.
  VECTOR3 AimVelocity(const VECTOR3& position_I, double periapsis, double apoapsis,
                      bool pushAllowed) const;
  VECTOR3 PlaneNormalAt(const VECTOR3& position_I) const;

  World& world_;
  VesselState& launcher_;
  TargetOrbit target_;
  double payload_ = 0;  ///< kg
  LauncherModel model_;
  MissionPlan plan_;
  Phase phase_ = Phase::kCountdown;
  double launchTime_ = 0;  ///< s: E is pressed then
  KeyScript presses_;      ///< the keys it has pressed

  SteeringLaw law_;
  double cutoffTime_ = 0;           ///< s, the core burn's predicted end
  double nextReplan_ = 0;           ///< s
  double burnStart_ = 0;            ///< s, the apoapsis burn's start
  bool fairingGone_ = false;        ///< J has gone for the fairing, or it had left before
  double fairingTime_ = -INFINITY;  ///< s, when J went for it
  bool ignitionPressed_ = false;
  bool releasePressed_ = false;
  double releaseTime_ = 0;       ///< s, when J went for the satellite
  bool noOrbit_ = false;         ///< the ascent reaches no orbit: it burns to the end
  bool pilotFlies_ = false;      ///< the pilot has taken the launcher
  double doneTime_ = 0;          ///< s
  double deltaV_ = 0;            ///< m/s
  std::size_t vesselsSeen_ = 0;  ///< the world's vessels looked at for the satellite
  const VesselState* satellite_ = nullptr;
  VECTOR3 planeNormal_{0, 0, 1};  ///< unit normal of the plane the burns fly in
  VECTOR3 releaseAxis_{0, 0, 1};  ///< unit: the nose at release, across the orbit
};

}  // namespace guidance
}  // namespace zenthar
