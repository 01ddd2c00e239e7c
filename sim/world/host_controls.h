#pragma once

namespace zenthar {

class World;

/// The host's own controls, as a pilot of the real host has them. They are keys of the key script
/// (docs/SCENARIO.md gives their names) with codes above the 256 of the keyboard state that the
/// module reads, so the module never sees them; the host carries each out once, at the start of
/// the frame in which its press starts, on the vessel with the input focus. The engine controls
/// take the launcher from a guidance that flies it, as the attitude controls take it from any
/// autopilot.
enum class HostControl {
  kEngineUp = 0x100,  ///< main engine level up by 10 %
  kEngineDown,        ///< main engine level down by 10 %
  kEngineFull,        ///< main engine to full
  kEngineCut,         ///< main engine off
  kPitchUp,           ///< nose 1 degree up; the pilot takes over from autopilot and hold
  kPitchDown,
  kHeadingLeft,  ///< nose 1 degree left; the pilot takes over from autopilot and hold
  kHeadingRight,
  kAutopilot,  ///< autopilot on / off
  kPrograde,   ///< prograde hold on / off
  kFocusNext,  ///< the input focus to the next vessel
};

constexpr int kFirstHostControl = static_cast<int>(HostControl::kEngineUp);
constexpr int kLastHostControl = static_cast<int>(HostControl::kFocusNext);

/// How far one press moves the main engine's level (0..1), and turns the nose (deg).
constexpr double kEngineLevelStep = 0.1;
constexpr double kAttitudeStep = 1;

/// Carries a control out: on the focus vessel, or (focus next) on the world.
void ApplyHostControl(World& world, HostControl control);

}  // namespace zenthar
