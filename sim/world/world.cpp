#include "sim/world/world.h"

#include <cmath>

#include "sim/files/host_state_lines.h"
#include "sim/files/text_format.h"
#include "sim/guidance/autopilot.h"
#include "sim/physics/attitude_control.h"
#include "sim/physics/ground.h"
#include "sim/physics/launch_pad.h"
#include "sim/physics/physics.h"
#include "sim/world/call_format.h"
#include "sim/world/host_controls.h"

namespace zenthar {

namespace {
World* current = nullptr;
}  // namespace

World::World() : previous_(current) {
  current = this;
  for (double& accepted : keyAccepted_) accepted = -INFINITY;
}

World::~World() {
  End();
  if (current == this) current = previous_;
}

void World::End() {
  // Modules say goodbye to their vessels before the module itself is unloaded.
  for (auto& vessel : vessels_) {
    if (!vessel->module) continue;
    ExitModule(vessel.get());
  }
  autopilot_.reset();
  focus_ = nullptr;
  byName_.clear();
  vessels_.clear();
  module_.reset();
}

World* World::Current() {
  return current;
}

void World::Record(const VesselState* vessel, const char* operation, std::string arguments,
                   std::string answer) {
  journal_.Record(time(), vessel ? vessel->name : std::string(), operation, std::move(arguments),
                  std::move(answer));
}

void World::Report(const std::string& kind, const std::string& vessel, const std::string& detail) {
  events_.push_back(HostEvent{time(), kind, vessel, detail});
}

void World::RefuseValue(VesselState& vessel, const char* operation, double value,
                        const ValueRange& range) {
  for (const std::string& refused : vessel.refusedCalls)
    if (refused == operation) return;
  vessel.refusedCalls.emplace_back(operation);
  Report("value_refused", vessel.name,
         std::string(operation) + " " + FormatDouble(value) + ": expected " + range.Expected());
}

LoadedModule* World::LoadModule(const std::string& nameOrPath, std::string& error) {
  const std::string path = nameOrPath.find('/') != std::string::npos
                               ? nameOrPath
                               : moduleFolder + "/lib" + nameOrPath + ".so";
  if (module_) {
    if (module_->path() == path) return module_.get();
    error = "module " + path + ": another module (" + module_->path() + ") is loaded already";
    return nullptr;
  }
  module_ = LoadedModule::Load(path, error);
  return module_.get();
}

VesselState* World::Launcher() const {
  for (const auto& vessel : vessels_)
    if (vessel->module) return vessel.get();
  return nullptr;
}

VesselState* World::Find(const std::string& name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

VesselState* World::CreateVessel(const std::string& name, const std::string& className,
                                 const VESSELSTATUS& status, std::string& error,
                                 ScenarioStream* block, bool checkStatus) {
  error.clear();
  const VesselClass* vesselClass = classes_.Find(className);
  std::string why;
  if (!vesselClass)
    error = "unknown vessel class \"" + className + "\"";
  else if (name.empty())
    error = "a vessel needs a name";
  else if (Find(name))
    error = "a vessel named \"" + name + "\" exists already";
  else if (!vesselClass->module.empty() && Launcher())
    error = "vessel \"" + name + "\": a second launcher (one launcher per process)";
  else if (checkStatus && !StatusFits(status, planet.radius, why)) {
    error = "vessel \"" + name + "\": " + why;
    Report("value_refused", name, "VESSEL::Create " + why);
    return nullptr;
  }
  LoadedModule* module = nullptr;
  if (error.empty() && !vesselClass->module.empty())
    module = LoadModule(vesselClass->module, error);
  if (!error.empty()) {
    Report("vessel_refused", name, className);
    return nullptr;
  }

  auto owned = std::make_unique<VesselState>();
  VesselState* vessel = owned.get();
  vessel->world = this;
  vessel->name = name;
  vessel->className = className;
  vessel->vesselClass = vesselClass;
  vessel->sizedDrag = !vesselClass->GivesCrossSections();
  vessel->crossSections = vesselClass->crossSections;
  if (!module) {
    vessel->emptyMass = vesselClass->mass;
    vessel->size = vesselClass->size;
    for (double& cw : vessel->cw) cw = vesselClass->cw;
    const double z = -vesselClass->touchdownHeight;
    vessel->touchdown[0] = {0, -1, z};
    vessel->touchdown[1] = {-0.7, 0.7, z};
    vessel->touchdown[2] = {0.7, 0.7, z};
  }
  vessels_.push_back(std::move(owned));
  byName_[name] = vessel;

  VESSELSTATUS effective = status;
  if (module) {
    vessel->module = module;
    ApplyStatus(*vessel, effective);
    if (journal_.enabled()) Record(vessel, "zvcInit", FormatArgs(name, 0));
    vessel->moduleVessel = module->callbacks().init(vessel, 0);
    if (!vessel->moduleVessel) {
      module->callbacks().exit(nullptr);
      byName_.erase(name);
      vessels_.pop_back();
      error = "vessel \"" + name + "\": its module could not create it";
      Report("vessel_refused", name, className);
      return nullptr;
    }
    if (!block) {
      if (journal_.enabled()) Record(vessel, "zvcSetClassCaps", {});
      module->callbacks().setClassCaps(vessel->moduleVessel);
    }
  }
  if (block) {
    ReadBlock(*vessel, *block, effective);
    error = BlockFault(*vessel, *block, effective);
    if (!error.empty()) {
      Discard(vessel);
      Report("vessel_refused", name, className);
      return nullptr;
    }
    if (module) WarnOfSatelliteClass(*vessel, *block);
  }
  ApplyStatus(*vessel, effective);
  if (module && !block) vessel->fuelMass = vessel->maxFuelMass;  // a new launcher starts full
  if (vessel->padRequested)
    PlaceOnPad(*vessel, planet, vessel->padLatitude, vessel->padLongitude, time());
  else if (vessel->landed)
    AnchorToGround(*vessel, planet, time());
  Report("vessel_created", name, className);
  return vessel;
}

void World::ReadBlock(VesselState& vessel, ScenarioStream& block, VESSELSTATUS& status) {
  if (vessel.module) {
    // The host's own lines come back to it through ParseScenarioLine, which refuses into the block.
    block.returned.assign(block.lines.size(), false);
    vessel.block = &block;
    if (journal_.enabled()) Record(&vessel, "zvcLoadState", {});
    vessel.module->callbacks().loadState(vessel.moduleVessel, &block, &status);
    vessel.block = nullptr;
    return;
  }
  std::string why;
  for (block.next = 0; block.next < block.lines.size() && block.error.empty();)
    if (!ReadHostStateLine(block.lines[block.next++].c_str(), status, vessel, planet, why))
      block.Refuse(why);
}

std::string World::BlockFault(const VesselState& vessel, const ScenarioStream& block,
                              const VESSELSTATUS& status) const {
  if (!block.error.empty()) return block.error;
  // Every position an RPOS line may give lies away from the planet's centre, where a block
  // without one leaves it.
  const VECTOR3& p = status.position;
  if (!vessel.padRequested && p.x == 0 && p.y == 0 && p.z == 0)
    return "vessel \"" + vessel.name + "\": its block gives neither RPOS nor PAD";
  return {};
}

void World::WarnOfSatelliteClass(const VesselState& launcher, const ScenarioStream& block) {
  // The module reads the SAT_NAME lines it does not hand back; the last one that names a class
  // is the class of the satellite it will release.
  for (std::size_t i = block.lines.size(); i-- > 0;) {
    if (i < block.returned.size() && block.returned[i]) continue;
    const std::string satellite = SatelliteClassNamed(block.lines[i]);
    if (satellite.empty()) continue;
    if (!classes_.Find(satellite))
      Report("warning", launcher.name,
             "satellite class \"" + satellite +
                 "\" is unknown: releasing the satellite will create nothing");
    return;
  }
}

void World::ExitModule(VesselState* vessel) {
  if (journal_.enabled()) Record(vessel, "zvcExit", {});
  vessel->module->callbacks().exit(vessel->moduleVessel);
}

void World::Discard(VesselState* vessel) {
  if (vessel->module && vessel->moduleVessel) ExitModule(vessel);
  byName_.erase(vessel->name);
  vessels_.pop_back();
}

void World::KeepThrustModifierInRange(VesselState& vessel) {
  if (kThrustModifier.Holds(vessel.mainThrustMod)) {
    vessel.keptThrustMod = vessel.mainThrustMod;
    return;
  }
  RefuseValue(vessel, "mainThrustMod", vessel.mainThrustMod, kThrustModifier);
  vessel.mainThrustMod = vessel.keptThrustMod;
}

void World::SetFocus(VesselState* vessel) {
  if (vessel == focus_) return;
  focus_ = vessel;
  if (vessel) Report("focus", vessel->name, {});
}

bool World::AcceptDelayedKey(int key, double interval) {
  if (key < 0 || key > 255) return false;
  const double now = time();
  if (now - keyAccepted_[key] < interval) return false;
  keyAccepted_[key] = now;
  return true;
}

void World::EngageGuidance() {
  VesselState* launcher = Launcher();
  if (autopilot_ || !launcher || !launcher->target.given()) return;
  autopilot_ = std::make_unique<guidance::Autopilot>(*this, *launcher);
}

void World::ApplyHostControls() {
  if (!ScriptedKeysMayChange()) return;
  const auto [first, end] = keyScript_.StartingAt(frame_, dt);
  for (std::size_t i = first; i < end; ++i)
    for (int key : keyScript_.presses()[i].keys)
      if (key >= kFirstHostControl && key <= kLastHostControl)
        ApplyHostControl(*this, static_cast<HostControl>(key));
}

void World::DeliverKeys() {
  // The autopilot's keys join the script's in keyState_: with it, they are counted every frame.
  if (ScriptedKeysMayChange() || autopilot_) {
    keyScript_.Apply(frame_, dt, keyState_);
    keysFrom_ = frame_;
    keysUntil_ = keyScript_.NextChange(frame_, dt);
    keysDt_ = dt;
  }
  if (autopilot_) autopilot_->HoldKeys(frame_, dt, keyState_);
  if (!focus_ || !focus_->module || !focus_->moduleVessel) return;
  if (journal_.enabled()) {
    std::string down;
    for (int key = 0; key < 256; ++key)
      if (keyState_[key] & 0x80) down += (down.empty() ? "" : " ") + KeyScript::KeyName(key);
    Record(focus_, "zvcConsumeKey", "keys: " + down);
  }
  focus_->module->callbacks().consumeKey(focus_->moduleVessel,
                                         reinterpret_cast<const char*>(keyState_));
}

void World::ModuleTimesteps() {
  // Vessels created during a time step (jettisoned bodies) have no module; index, since the
  // list may grow meanwhile.
  const std::size_t count = vessels_.size();
  for (std::size_t i = 0; i < count; ++i) {
    VesselState* vessel = vessels_[i].get();
    if (!vessel->module || !vessel->moduleVessel) continue;
    if (journal_.enabled()) Record(vessel, "zvcTimestep", FormatArgs(time()));
    vessel->module->callbacks().timestep(vessel->moduleVessel, time());
  }
}

void World::Step() {
  if (frame_ == 0) EngageGuidance();
  ApplyHostControls();
  for (auto& vessel : vessels_) {
    UpdateEnvironment(*vessel, planet);
    SteerVessel(*vessel, time());
  }
  if (autopilot_) autopilot_->Fly();
  DeliverKeys();
  ModuleTimesteps();
  for (auto& vessel : vessels_) {
    KeepThrustModifierInRange(*vessel);
    if (journal_.enabled() && vessel->module)
      Record(vessel.get(), "mainThrustMod", {}, FormatDouble(vessel->mainThrustMod));
    const StepOutcome outcome = Integrate(*vessel, planet, time(), dt);
    if (outcome.propellantExhausted) Report("propellant_exhausted", vessel->name, {});
    if (outcome.impacted) Report("impact", vessel->name, {});
  }
  ++frame_;
}

void World::RunUntil(double t) {
  while (time() < t - 1e-9) Step();
}

}  // namespace zenthar
