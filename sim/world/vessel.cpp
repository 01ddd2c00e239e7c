// The host's vessel interface over the stand-in host's vessel records. Getters are loads and
// setters are stores; with the journal on, every call is also recorded.

#include "host/vessel.h"

#include "sim/files/host_state_lines.h"
#include "sim/files/scenario_stream.h"
#include "sim/world/call_format.h"
#include "sim/world/host_limits.h"
#include "sim/world/world.h"

// The host interface is the boundary and stays global; its bodies are the host's.
using namespace zenthar;

namespace {

// The journal's formatting is kept out of line and off the likely path: inlined, it made every
// call save registers and set up a frame for it even with the journal off.
template <typename... Args>
[[gnu::cold, gnu::noinline]] void RecordCall(const VesselState* state, const char* operation,
                                             Args... args) {
  state->world->Record(state, operation, FormatArgs(args...));
}

template <typename T, typename... Args>
[[gnu::cold, gnu::noinline]] void RecordAnswer(const VesselState* state, const char* operation,
                                               T value, Args... args) {
  state->world->Record(state, operation, FormatArgs(args...), FormatArg(value));
}

template <typename... Args>
void Trace(const VesselState* state, const char* operation, const Args&... args) {
  if (state->world->journal().enabled()) RecordCall(state, operation, args...);
}

template <typename T, typename... Args>
T Answer(const VesselState* state, const char* operation, T value, const Args&... args) {
  if (state->world->journal().enabled()) RecordAnswer(state, operation, value, args...);
  return value;
}

bool ValidEngine(ENGINETYPE engine) {
  return engine >= ENGINE_MAIN && engine <= ENGINE_ATTITUDE;
}

/// Reports a value the host refuses; the vessel keeps what it had.
[[gnu::cold, gnu::noinline]] void Refuse(VesselState* state, const char* operation, double value,
                                         const ValueRange& range) {
  state->world->RefuseValue(*state, operation, value, range);
}

/// A setter of one ranged value: records the call, then stores the value in `field` if the range
/// holds it, else refuses it and the vessel keeps what it had.
void SetRanged(VesselState* state, const char* operation, double value, const ValueRange& range,
               double VesselState::*field) {
  Trace(state, operation, value);
  if (!range.Holds(value)) return Refuse(state, operation, value, range);
  state->*field = value;
}

/// Refuses the value and records the call: the whole refusal out of line, so that the setters
/// called every step need no stack frame on their usual path.
template <typename... Args>
[[gnu::cold, gnu::noinline]] void RefuseCall(VesselState* state, const char* operation,
                                             double value, const ValueRange& range, Args... args) {
  Refuse(state, operation, value, range);
  Trace(state, operation, args...);
}

}  // namespace

VESSEL::VESSEL(OBJHANDLE hostVessel, int /*flightModel*/)
    : state_(static_cast<VesselState*>(hostVessel)) {}

void VESSEL::SetSize(double size) const {
  SetRanged(state_, "SetSize", size, kSize, &VesselState::size);
}

void VESSEL::SetCOG_elev(double elevation) const {
  SetRanged(state_, "SetCOG_elev", elevation, kVesselLength, &VesselState::cogElevation);
}

// Called every step of the booster burn: the store comes first so that recording is the call's
// last act, and with the journal off the call needs no stack frame.
void VESSEL::SetEmptyMass(double mass) const {
  if (!kMass.Holds(mass)) return RefuseCall(state_, "SetEmptyMass", mass, kMass, mass);
  state_->emptyMass = mass;
  Trace(state_, "SetEmptyMass", mass);
}

double VESSEL::GetEmptyMass() const {
  return Answer(state_, "GetEmptyMass", state_->emptyMass);
}

void VESSEL::SetMaxFuelMass(double mass) const {
  Trace(state_, "SetMaxFuelMass", mass);
  if (!kMass.Holds(mass)) return Refuse(state_, "SetMaxFuelMass", mass, kMass);
  state_->maxFuelMass = mass;
  if (state_->fuelMass > mass) state_->fuelMass = mass;
}

double VESSEL::GetFuelMass() const {
  return Answer(state_, "GetFuelMass", state_->fuelMass);
}

void VESSEL::SetISP(double isp) const {
  SetRanged(state_, "SetISP", isp, kExhaustVelocity, &VesselState::isp);
}

void VESSEL::SetTouchdownPoints(const VECTOR3& p1, const VECTOR3& p2, const VECTOR3& p3) const {
  Trace(state_, "SetTouchdownPoints", p1, p2, p3);
  for (const VECTOR3* p : {&p1, &p2, &p3})
    if (!kVesselLength.Holds(*p))
      return Refuse(state_, "SetTouchdownPoints", kVesselLength.Outside(*p), kVesselLength);
  state_->touchdown[0] = p1;
  state_->touchdown[1] = p2;
  state_->touchdown[2] = p3;
}

void VESSEL::SetCW(double zPositive, double zNegative, double x, double y) const {
  Trace(state_, "SetCW", zPositive, zNegative, x, y);
  for (double cw : {zPositive, zNegative, x, y})
    if (!kDragCoefficient.Holds(cw)) return Refuse(state_, "SetCW", cw, kDragCoefficient);
  state_->cw[0] = zPositive;
  state_->cw[1] = zNegative;
  state_->cw[2] = x;
  state_->cw[3] = y;
}

void VESSEL::SetRotDrag(const VECTOR3& drag) const {
  Trace(state_, "SetRotDrag", drag);
  if (!kDragCoefficient.Holds(drag))
    return Refuse(state_, "SetRotDrag", kDragCoefficient.Outside(drag), kDragCoefficient);
  state_->rotDrag = drag;
}

void VESSEL::SetPitchMomentScale(double scale) const {
  SetRanged(state_, "SetPitchMomentScale", scale, kMomentScale, &VesselState::pitchMomentScale);
}

void VESSEL::SetBankMomentScale(double scale) const {
  SetRanged(state_, "SetBankMomentScale", scale, kMomentScale, &VesselState::bankMomentScale);
}

// A function's address differs from run to run: the journal says only whether there is one.
void VESSEL::SetLiftCoeffFunc(LiftCoeffFunc lift) const {
  if (state_->world->journal().enabled())
    state_->world->Record(state_, "SetLiftCoeffFunc", lift ? "function" : "null");
  state_->lift = lift;
}

void VESSEL::SetMaxThrust(ENGINETYPE engine, double thrust) const {
  Trace(state_, "SetMaxThrust", static_cast<int>(engine), thrust);
  if (!kThrust.Holds(thrust)) return Refuse(state_, "SetMaxThrust", thrust, kThrust);
  if (ValidEngine(engine)) state_->maxThrust[engine] = thrust;
}

void VESSEL::SetEngineLevel(ENGINETYPE engine, double level) const {
  Trace(state_, "SetEngineLevel", static_cast<int>(engine), level);
  if (!kLevel.Holds(level)) return Refuse(state_, "SetEngineLevel", level, kLevel);
  if (ValidEngine(engine)) state_->engineLevel[engine] = level;
}

double VESSEL::GetEngineLevel(ENGINETYPE engine) const {
  const double level = ValidEngine(engine) ? state_->engineLevel[engine] : 0.0;
  return Answer(state_, "GetEngineLevel", level, static_cast<int>(engine));
}

double* VESSEL::GetMainThrustModPtr() const {
  Trace(state_, "GetMainThrustModPtr");
  return &state_->mainThrustMod;
}

double VESSEL::GetAtmPressure() const {
  return Answer(state_, "GetAtmPressure", state_->atmPressure);
}

void VESSEL::ClearMeshes() const {
  Trace(state_, "ClearMeshes");
  state_->meshes.clear();
  state_->crossSections = state_->vesselClass ? state_->vesselClass->crossSections : VECTOR3{};
}

void VESSEL::AddMesh(const char* meshName, const VECTOR3* offset) const {
  Trace(state_, "AddMesh", meshName, offset);
  if (offset && !kVesselLength.Holds(*offset))
    return Refuse(state_, "AddMesh", kVesselLength.Outside(*offset), kVesselLength);
  state_->meshes.push_back(MeshRef{meshName ? meshName : "", offset ? *offset : VECTOR3{0, 0, 0}});
  // A vessel meets the air with the meshes it carries: areas are summed as they are added.
  const VECTOR3* areas =
      state_->vesselClass ? state_->vesselClass->MeshAreas(meshName ? meshName : "") : nullptr;
  if (areas) state_->crossSections = state_->crossSections + *areas;
}

void VESSEL::ClearExhaustRefs() const {
  Trace(state_, "ClearExhaustRefs");
  state_->exhausts.clear();
}

// The host draws no attitude-thruster flames: there is nothing to clear, only the call to record.
void VESSEL::ClearAttExhaustRefs() const {
  Trace(state_, "ClearAttExhaustRefs");
}

unsigned int VESSEL::AddExhaustRef(EXHAUSTTYPE type, const VECTOR3& pos, double lengthScale,
                                   double widthScale, const VECTOR3* dir) const {
  // A refused flame gets an index that no flame has, so that setting its scales does nothing.
  constexpr unsigned int kNoFlame = 0xFFFF;
  const bool placed = kVesselLength.Holds(pos) && (!dir || kVesselLength.Holds(*dir));
  if (!placed || !kFlameScale.Holds(lengthScale) || !kFlameScale.Holds(widthScale)) {
    if (!placed)
      Refuse(state_, "AddExhaustRef", kVesselLength.Outside(kVesselLength.Holds(pos) ? *dir : pos),
             kVesselLength);
    else
      Refuse(state_, "AddExhaustRef", kFlameScale.Holds(lengthScale) ? widthScale : lengthScale,
             kFlameScale);
    return Answer(state_, "AddExhaustRef", kNoFlame, static_cast<int>(type), pos, lengthScale,
                  widthScale, dir);
  }
  state_->exhausts.push_back(
      ExhaustRef{type, pos, dir ? *dir : VECTOR3{0, 0, -1}, lengthScale, widthScale});
  const auto index = static_cast<unsigned int>(state_->exhausts.size() - 1);
  return Answer(state_, "AddExhaustRef", index, static_cast<int>(type), pos, lengthScale,
                widthScale, dir);
}

// Called twice every step of the booster burn; stores first, as SetEmptyMass does.
void VESSEL::SetExhaustScales(EXHAUSTTYPE type, unsigned short index, double lengthScale,
                              double widthScale) const {
  if (!kFlameScale.Holds(lengthScale) || !kFlameScale.Holds(widthScale))
    return RefuseCall(
        state_, "SetExhaustScales", kFlameScale.Holds(lengthScale) ? widthScale : lengthScale,
        kFlameScale, static_cast<int>(type), static_cast<unsigned>(index), lengthScale, widthScale);
  if (index < state_->exhausts.size()) {
    ExhaustRef& flame = state_->exhausts[index];
    flame.lengthScale = lengthScale;
    flame.widthScale = widthScale;
  }
  Trace(state_, "SetExhaustScales", static_cast<int>(type), static_cast<unsigned>(index),
        lengthScale, widthScale);
}

void VESSEL::GetStatus(VESSELSTATUS& status) const {
  status = StatusOf(*state_, state_->world->planet);
  if (state_->world->journal().enabled())
    state_->world->Record(state_, "GetStatus", "", FormatArg(status));
}

void VESSEL::Local2Rel(const VECTOR3& local, VECTOR3& rel) const {
  rel = state_->position + state_->attitude * local;
  if (state_->world->journal().enabled())
    state_->world->Record(state_, "Local2Rel", FormatArg(local), FormatArg(rel));
}

void VESSEL::GlobalRot(const VECTOR3& local, VECTOR3& global) const {
  global = state_->attitude * local;
  if (state_->world->journal().enabled())
    state_->world->Record(state_, "GlobalRot", FormatArg(local), FormatArg(global));
}

const char* VESSEL::GetName() const {
  return Answer(state_, "GetName", state_->name.c_str());
}

OBJHANDLE VESSEL::Create(const char* name, const char* className, const VESSELSTATUS& status) {
  World* world = World::Current();
  if (!world) return nullptr;
  std::string error;
  VesselState* created = world->CreateVessel(name ? name : "", className ? className : "", status,
                                             error, nullptr, true);
  if (world->journal().enabled())
    world->Record(nullptr, "VESSEL::Create",
                  FormatArgs(name, className, status.position, status.velocity,
                             status.angularVelocity, status.attitude, status.fuelLevel,
                             status.mainLevel, status.hoverLevel, status.landed),
                  created ? FormatArg(created->name) : "null");
  return created;
}

void VESSEL::ParseScenarioLine(char* line, VESSELSTATUS* status) const {
  Trace(state_, "ParseScenarioLine", static_cast<const char*>(line));
  if (!line || !status) return;
  ScenarioStream* block = state_->block;
  if (block && block->next > 0 && block->next <= block->returned.size())
    block->returned[block->next - 1] = true;
  // The module hands back by design the lines of its own that it does not read (SHROUD under the
  // full stack, a second CONFIGURATION); they mean nothing to the host.
  if (BeginsWithModuleKey(line)) return;
  std::string error;
  if (!ReadHostStateLine(line, *status, *state_, state_->world->planet, error) && block)
    block->Refuse(error);
}

void VESSEL::SaveDefaultState(FILEHANDLE scenario) const {
  Trace(state_, "SaveDefaultState");
  if (scenario)
    WriteHostState(*state_, state_->world->planet, state_->world->time(),
                   *static_cast<ScenarioStream*>(scenario));
}
