#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/vessel_status.h"
#include "sim/files/scenario_stream.h"
#include "sim/files/vessel_class.h"
#include "sim/physics/planet.h"
#include "sim/world/host_limits.h"
#include "sim/world/journal.h"
#include "sim/world/key_script.h"
#include "sim/world/module_loader.h"
#include "sim/world/vessel_state.h"

namespace zenthar {

namespace guidance {
class Autopilot;
}

/// Something the host observed: a vessel created or refused, a focus change, an impact ...
struct HostEvent {
  double time;         ///< s
  std::string kind;    ///< "vessel_created", "vessel_refused", "value_refused", "warning", "focus",
                       ///< "impact", ...
  std::string vessel;  ///< the vessel it concerns
  std::string detail;  ///< the class created or refused, ...
};

/// What a scenario's header asks of the flight besides the world itself: when to save it, when to
/// stop (SAVE_AT, UNTIL lines; a flight flown by hand leaves them in its replay).
struct FlightSchedule {
  std::vector<double> saveAt;  ///< s, in the order read
  double until = -1;           ///< s; below 0: the scenario does not say
};

/// The stand-in host's world: the planet, its vessels, simulation time, keyboard and focus, the
/// loaded module and the journal of host calls. The host interface (VESSEL and the zapi functions)
/// acts on the current world; one world is current at a time.
class World {
 public:
  World();
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  /// The world the host interface acts on: the most recently constructed one that still exists.
  static World* Current();

  // Set-up.
  Planet planet;
  double dt = 0.01;  ///< s, frame length
  ClassRegistry& classes() { return classes_; }
  const ClassRegistry& classes() const { return classes_; }
  /// Where a module named in a class file ("vantor") is found as lib<name>.so; a module given as a
  /// path is used as it stands.
  std::string moduleFolder;
  Journal& journal() { return journal_; }
  KeyScript& keyScript() {
    keysUntil_ = 0;  // the script may change: its keys are counted afresh in the next frame
    return keyScript_;
  }
  const KeyScript& keyScript() const { return keyScript_; }
  FlightSchedule schedule;

  // Guidance.
  /// Engages the guidance of the launcher whose block names a target orbit (TARGET_ORBIT), unless
  /// engaged already: it plans the mission, or takes over a launcher in flight, and reports what it
  /// will fly or why the target is beyond reach. The first frame engages it when nobody did.
  void EngageGuidance();
  /// The launcher's guidance to its target orbit, once engaged; null without a target.
  const guidance::Autopilot* autopilot() const { return autopilot_.get(); }

  // Time.
  long frame() const { return frame_; }
  double time() const { return static_cast<double>(frame_) * dt; }
  /// One frame: the host's controls that start in it, environment and steering (the guidance
  /// among it), keys to the focus vessel, module time steps, integration.
  void Step();
  /// Steps until the simulation time reaches t.
  void RunUntil(double t);
  /// Ends the flight: zvcExit for every vessel a module flies (journaled), then the vessels and the
  /// module are let go. The destructor does it for a world not ended before.
  void End();

  // Vessels.
  /// Creates a vessel of a known class with a state. A module class loads its module and calls
  /// zvcInit, then zvcLoadState with the vessel's scenario block when one is given, else
  /// zvcSetClassCaps; a passive body reads its block's host lines. The host then puts the status
  /// (as the block's host lines left it) into effect, the tank filled to its level. Null with the
  /// reason when the class is unknown, its module fails, a second launcher would live, the name
  /// is taken or empty, `checkStatus` is set and the status lies outside the host's limits (what
  /// a module asks for), or the block holds a line the host refuses ("file:line: why") or gives
  /// neither RPOS nor PAD; the refusal is reported. A launcher block whose SAT_NAME names a class
  /// the host does not know is created with a warning.
  VesselState* CreateVessel(const std::string& name, const std::string& className,
                            const VESSELSTATUS& status, std::string& error,
                            ScenarioStream* block = nullptr, bool checkStatus = false);
  VesselState* Find(const std::string& name) const;
  const std::vector<std::unique_ptr<VesselState>>& vessels() const { return vessels_; }
  /// The vessel whose module is flying it, if any.
  VesselState* Launcher() const;

  // Focus and keyboard.
  VesselState* focus() const { return focus_; }
  void SetFocus(VesselState* vessel);
  bool AcceptDelayedKey(int key, double interval);
  const unsigned char* keyState() const { return keyState_; }

  // What the host observed, in order.
  const std::vector<HostEvent>& events() const { return events_; }
  void Report(const std::string& kind, const std::string& vessel, const std::string& detail);
  /// Reports a value the host refuses a module ("value_refused"), once per vessel and operation,
  /// since the module may ask again every step.
  void RefuseValue(VesselState& vessel, const char* operation, double value,
                   const ValueRange& range);

  // Journal helpers for the host interface.
  void Record(const VesselState* vessel, const char* operation, std::string arguments,
              std::string answer = {});

  /// The module of the process (one launcher per process), loaded on first use.
  LoadedModule* module() const { return module_.get(); }
  LoadedModule* LoadModule(const std::string& nameOrPath, std::string& error);

 private:
  /// The host controls of the presses that start in this frame, in their order.
  void ApplyHostControls();
  /// Whether a press may start or end in this frame: outside the frames the keys held were last
  /// counted for.
  bool ScriptedKeysMayChange() const {
    return !(frame_ > keysFrom_ && frame_ < keysUntil_ && dt == keysDt_);
  }
  void DeliverKeys();
  void ModuleTimesteps();
  /// Reads a block into a vessel just made: through its module, or the host's own lines.
  void ReadBlock(VesselState& vessel, ScenarioStream& block, VESSELSTATUS& status);
  /// Why a block read into a vessel cannot be flown, or empty.
  std::string BlockFault(const VesselState& vessel, const ScenarioStream& block,
                         const VESSELSTATUS& status) const;
  void WarnOfSatelliteClass(const VesselState& launcher, const ScenarioStream& block);
  /// The vessel's module says goodbye to it: zvcExit, journaled.
  void ExitModule(VesselState* vessel);
  /// Lets go of the vessel made last, its module saying goodbye first.
  void Discard(VesselState* vessel);
  /// The module sets the main-thrust modifier through a pointer: one out of range is refused as a
  /// setter's value is, and the one before it kept.
  void KeepThrustModifierInRange(VesselState& vessel);

  World* previous_;
  long frame_ = 0;
  ClassRegistry classes_;
  Journal journal_;
  KeyScript keyScript_;
  std::vector<std::unique_ptr<VesselState>> vessels_;
  std::unordered_map<std::string, VesselState*> byName_;
  VesselState* focus_ = nullptr;
  unsigned char keyState_[256] = {};
  // The scripted keys held are keyState_ in the frames [keysFrom_, keysUntil_) of keysDt_ (s): no
  // press starts or ends after the first of them.
  long keysFrom_ = 0;
  long keysUntil_ = 0;
  double keysDt_ = 0;
  double keyAccepted_[256];  // s, simulation time at which each key was last accepted
  std::vector<HostEvent> events_;
  std::unique_ptr<LoadedModule> module_;
  std::unique_ptr<guidance::Autopilot> autopilot_;  ///< flies the launcher; holds on to it
};

}  // namespace zenthar
