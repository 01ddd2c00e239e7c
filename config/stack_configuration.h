#pragma once

#include <cstdint>

#include "config/launcher_configuration.h"

namespace vantor {

/// The complete launcher before booster separation: core stage, both boosters, the fairing and the
/// satellite while it is aboard. Flies the booster burn and hands over to the core stage when the
/// boosters are burnt out or on J.
class StackConfiguration final : public LauncherConfiguration {
 public:
  /// Scenario value of CONFIGURATION for this configuration.
  static constexpr int CONFIGURATION_NUMBER = 0;

  void Init() override;
  void SetClassCaps(VESSEL* vessel, double simTime) override;
  void ParseScenarioLine(VESSEL* vessel, char* line, VESSELSTATUS* status) override;
  void SaveState(VESSEL* vessel, FILEHANDLE scenario) override;
  void Timestep(VESSEL* vessel, double simTime) override;

  /// Core thrust corrected for the ambient pressure plus both boosters' thrust, and the boosters'
  /// burnt propellant taken off the empty mass.
  void UpdateThrust(VESSEL* vessel, double simTime);

  double boosterThrustSeaLevel = 0;       ///< N, one booster at sea-level pressure
  double boosterThrustVacuum = 0;         ///< N, one booster in vacuum
  double lastSimTime = 0;                 ///< s, time of the last step that updated the thrust
  double boosterFuelMass = 0;             ///< kg, one booster's propellant at ignition
  double stackBaseMass = 0;               ///< kg, boosters' and fairing's dry mass + fuelled core
  double ignitionTime = 0;                ///< s, simulation time at which ignition was detected
  bool boostersIgnited = false;           ///< the boosters are burning
  double boosterBurnTime = 0;             ///< s, from ignition to automatic separation
  std::uint32_t leftBoosterExhaust = 0;   ///< host index of the left booster flame
  std::uint32_t rightBoosterExhaust = 0;  ///< host index of the right booster flame

 protected:
  void StepThrustUpdate(VESSEL* vessel, double simTime) override;

 private:
  void AddBoosterFlames(VESSEL* vessel);
  void AddStackMeshes(VESSEL* vessel) const;
  void DetectIgnition(VESSEL* vessel, double simTime);
  bool SeparationDue(double simTime) const;
  void SeparateAndHandOver(VESSEL* vessel, double simTime);
  double BurnBoosters(VESSEL* vessel, double simTime) const;
};

}  // namespace vantor
