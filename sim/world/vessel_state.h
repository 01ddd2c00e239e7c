#pragma once

#include <string>
#include <vector>

#include "host/engine_types.h"
#include "host/vector3.h"
#include "host/vessel.h"
#include "sim/files/scenario_stream.h"
#include "sim/files/vessel_class.h"
#include "sim/guidance/target_orbit.h"
#include "sim/physics/atmosphere.h"
#include "sim/physics/pitch_program.h"
#include "sim/physics/vec_math.h"

namespace zenthar {

class LoadedModule;
class World;

/// A mesh drawn at an offset in the vessel frame (m).
struct MeshRef {
  std::string name;
  VECTOR3 offset;
};

/// An exhaust flame; its scales are what the vessel shows this step.
struct ExhaustRef {
  EXHAUSTTYPE type;
  VECTOR3 position;   ///< m, vessel frame
  VECTOR3 direction;  ///< unit vector, vessel frame
  double lengthScale;
  double widthScale;
};

/// What points a flying vessel's nose. The pilot's host controls switch between them.
enum class AttitudeMode {
  kAutopilot,  ///< its autopilot (the guidance to its target orbit, else its pitch program), when
               ///< it has one; else held
  kPrograde,   ///< along its velocity
  kHeld,       ///< where the pilot (or the autopilot, when switched off) left it
};

/// Everything the host knows of one vessel. VESSEL operations read and write it directly.
struct VesselState {
  World* world = nullptr;  ///< the world the vessel lives in
  std::string name;
  std::string className;
  const VesselClass* vesselClass = nullptr;  ///< its class, owned by the world's registry

  // Motion.
  VECTOR3 position{0, 0, 0};               ///< m, relative to the planet's centre, global frame
  VECTOR3 velocity{0, 0, 0};               ///< m/s, global frame
  Matrix3 attitude = Matrix3::Identity();  ///< rotation from vessel frame to global frame
  VECTOR3 angularVelocity{0, 0, 0};        ///< rad/s, vessel frame
  bool landed = false;                     ///< standing on its touchdown points
  bool impacted = false;                   ///< came down on the surface while flying
  bool padRequested = false;               ///< a scenario asked to stand it on the pad (PAD line)
  double padLatitude = 0;                  ///< deg
  double padLongitude = 0;                 ///< deg
  PitchProgram pitch;            ///< programmed ascent (PITCH, HEADING lines); empty: attitude held
  guidance::TargetOrbit target;  ///< where the guidance flies it (TARGET_ORBIT line); none: not
  AttitudeMode attitudeMode = AttitudeMode::kAutopilot;  ///< STEERING line, host controls
  // While landed: where it stands on the turning planet, which carries it round.
  VECTOR3 groundPosition_P{0, 0, 0};               ///< m, planet's frame
  Matrix3 groundAttitude_P = Matrix3::Identity();  ///< from vessel frame to planet's frame

  // Masses and engines.
  double emptyMass = 0;                  ///< kg
  double maxFuelMass = 0;                ///< kg, main tank capacity
  double fuelMass = 0;                   ///< kg, propellant in the main tank
  double isp = 0;                        ///< m/s, effective exhaust velocity of the main tank
  double maxThrust[4] = {0, 0, 0, 0};    ///< N, per ENGINETYPE
  double engineLevel[4] = {0, 0, 0, 0};  ///< 0..1, per ENGINETYPE
  double mainThrustMod = 0;              ///< N, added to the main thrust every step

  // Shape and aerodynamics.
  double size = 1;                                           ///< m, mean radius
  double cogElevation = 0;                                   ///< m
  VECTOR3 touchdown[3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};  ///< m, vessel frame
  double cw[4] = {0, 0, 0, 0};  ///< drag coefficients along +z, -z, x, y
  /// m^2, seen along the vessel's x, y and z axes: its class's body and the meshes it carries now
  /// (AddMesh adds, ClearMeshes takes back to the body). Unused when `sizedDrag`.
  VECTOR3 crossSections{0, 0, 0};
  bool sizedDrag = true;  ///< its class gives no cross-sections: pi size^2 along every axis
  VECTOR3 rotDrag{0, 0, 0};
  double pitchMomentScale = 0;
  double bankMomentScale = 0;
  LiftCoeffFunc lift = nullptr;

  // Visuals.
  std::vector<MeshRef> meshes;
  std::vector<ExhaustRef> exhausts;

  // Environment at the start of the current frame.
  double atmPressure = 0;     ///< Pa
  double atmDensity = 0;      ///< kg/m^3
  double atmTemperature = 0;  ///< K
  /// The air at the altitude asked last: the telemetry after a frame and the next frame's
  /// environment ask at the same place, a vessel at rest at the same altitude every frame. A
  /// cache, so it is kept even where the vessel is only read.
  mutable AtmosphereMemo air;

  // The module that flies this vessel, if its class names one.
  LoadedModule* module = nullptr;
  VESSEL* moduleVessel = nullptr;  ///< what the module's zvcInit returned
  double keptThrustMod = 0;  ///< N, the last modifier in range: restored after one that is not
  std::vector<std::string> refusedCalls;  ///< operations whose values were refused (reported once)
  ScenarioStream* block = nullptr;        ///< while its scenario block is read: the block

  double Mass() const { return emptyMass + fuelMass; }
};

/// Whether a flame that the module sizes itself is lit: the launcher's booster flames, scaled from
/// nothing when the boosters ignite.
inline bool BoosterFlameLit(const VesselState& vessel) {
  for (const ExhaustRef& flame : vessel.exhausts)
    if (flame.type == EXHAUST_CUSTOM && flame.lengthScale > 0) return true;
  return false;
}

}  // namespace zenthar
