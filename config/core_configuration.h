#pragma once

#include "config/launcher_configuration.h"

namespace vantor {

/// The core stage after booster separation, still carrying the fairing and the satellite until
/// they leave. Each exhausted-propellant step or accepted J sends one more body away: first both
/// fairing halves, then the satellite, which then takes the input focus. Nothing replaces it.
class CoreConfiguration final : public LauncherConfiguration {
 public:
  /// Scenario value of CONFIGURATION for this configuration.
  static constexpr int CONFIGURATION_NUMBER = 1;

  void Init() override;
  void SetClassCaps(VESSEL* vessel, double simTime) override;
  void ParseScenarioLine(VESSEL* vessel, char* line, VESSELSTATUS* status) override;
  void SaveState(VESSEL* vessel, FILEHANDLE scenario) override;
  void Timestep(VESSEL* vessel, double simTime) override;

  bool fairingJettisoned = false;  ///< both fairing halves have left

 protected:
  void StepThrustUpdate(VESSEL* vessel, double simTime) override;

 private:
  void AddCoreMeshes(VESSEL* vessel) const;
  void JettisonStep(VESSEL* vessel, double simTime);
  void DropFairing(VESSEL* vessel, double simTime);
  void ReleaseSatelliteWithFocus(VESSEL* vessel, double simTime);
};

}  // namespace vantor
