#pragma once

namespace zenthar::guidance {

/// The launcher's performance data that the guidance plans the booster burn with: what its makers
/// publish about the two solid boosters and the masses that leave with them, and the meshes that
/// show which bodies are aboard. The core stage's engine figures (vacuum thrust, exhaust velocity),
/// its drag coefficients and areas the guidance reads from the vessel itself.
struct LauncherFigures {
  double coreSeaLevelToVacuum;   ///< core engine thrust at sea level over its vacuum thrust
  double boosterThrustVacuum;    ///< N, one booster in vacuum
  double boosterThrustSeaLevel;  ///< N, one booster at the reference pressure
  double referencePressure;      ///< Pa, at which the sea-level thrusts hold
  double boosterPropellant;      ///< kg, one booster's propellant at ignition
  double stackBaseMass;     ///< kg, the stack's empty mass without booster propellant and payload
  double coreEmptyMass;     ///< kg, the core stage's empty mass after booster separation
  double boosterBurnTime;   ///< s after ignition, past which the boosters leave
  const char* fairingMesh;  ///< a mesh the launcher shows while its fairing is aboard
  const char*
      boosterMeshes[2];  ///< the meshes of the two boosters, whose drag areas leave with them

  /// One booster over the time since ignition: breakpoints, thrust fraction, propellant fraction.
  static constexpr int kProfilePoints = 6;
  double profileTime[kProfilePoints];        ///< s since ignition
  double profileThrust[kProfilePoints];      ///< of the booster's full thrust
  double profilePropellant[kProfilePoints];  ///< of its propellant at ignition

  /// kg: the stack's empty mass on the pad, without payload (boosters full).
  double StackEmptyMass() const { return 2 * boosterPropellant + stackBaseMass; }
  /// Thrust fraction and remaining propellant fraction of one booster at t s after ignition.
  void BoosterProfile(double t, double& thrust, double& propellant) const;
};

/// The Vantor's figures: core engine 430 s vacuum, 340 s sea level; boosters 660 000 kgf vacuum at
/// 275 s (250 s at sea level), 237 700 kg of propellant each, 129 s burn.
extern const LauncherFigures kVantorFigures;

}  // namespace zenthar::guidance
