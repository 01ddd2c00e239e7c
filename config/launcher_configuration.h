#pragma once

#include "host/handles.h"
#include "host/vessel.h"
#include "host/vessel_status.h"

namespace vantor {

/// One flight phase of the launcher. The manager forwards the host's callbacks to the current
/// configuration through the ten operations below, kept in this order; a phase change replaces the
/// object by one of the other kind. Key presses only set request flags; the next time step acts on
/// them.
class LauncherConfiguration {
 public:
  virtual void Init() = 0;                                                               // slot 0
  virtual void ReservedSlot1(void*) {}                                                   // slot 1
  virtual void SetClassCaps(VESSEL* vessel, double simTime) = 0;                         // slot 2
  virtual void ParseScenarioLine(VESSEL* vessel, char* line, VESSELSTATUS* status) = 0;  // slot 3
  virtual void SaveState(VESSEL* vessel, FILEHANDLE scenario) = 0;                       // slot 4
  virtual void Timestep(VESSEL* vessel, double simTime) = 0;                             // slot 5
  virtual void ReservedSlot6(void*, double) {}                                           // slot 6
  virtual void ReservedSlot7(void*, double) {}                                           // slot 7
  virtual void ReservedSlot8(void*, double) {}                                           // slot 8
  /// 1 when the call handled a command key (E or J), accepted by the host or not; else 0.
  virtual int ConsumeKey(VESSEL* vessel, const char* keystate);  // slot 9

  /// After the slots, so that they keep their places; the manager reclaims replaced objects.
  virtual ~LauncherConfiguration() = default;

  bool jettisonRequested = false;  ///< J accepted, not yet acted on
  bool igniteRequested = false;    ///< E accepted, not yet acted on
  bool skipNextStep = false;       ///< the next time step does nothing
  double thrustSeaLevel = 0;       ///< N, core main engine at sea-level pressure
  double thrustVacuum = 0;         ///< N, core main engine in vacuum

 protected:
  /// Every Init starts with this: no request pending, core thrusts from the vehicle figures.
  void InitCommon();

  /// Acts on a pending ignite request, or lets a skipped step pass. True when that ends the step;
  /// false when the configuration's own logic is to run.
  bool StepTakenByRequests(VESSEL* vessel, double simTime) {
    // In nearly every step neither flag is set; inline, that test is all such a step pays.
    if (!igniteRequested && !skipNextStep) return false;
    return ActOnRequests(vessel, simTime);
  }

  /// The thrust update of an ordinary step, also made by the step that carries out an ignition.
  virtual void StepThrustUpdate(VESSEL* vessel, double simTime) = 0;

  /// The capabilities both configurations set alike, from the size through the main flame. They
  /// differ only in the empty mass (kg) and the touchdown height (m, vessel z).
  void ApplyCommonCaps(VESSEL* vessel, double emptyMass, double touchdownHeight) const;

  /// Draws the satellite and adds its mass while it is aboard; the last step of SetClassCaps.
  void AddSatelliteAboard(VESSEL* vessel) const;

 private:
  /// StepTakenByRequests once a flag is set.
  bool ActOnRequests(VESSEL* vessel, double simTime);
  void SetMassesAndEngines(VESSEL* vessel, double emptyMass) const;
  void SetShapeAndDrag(VESSEL* vessel, double touchdownHeight) const;
  void ResetVisuals(VESSEL* vessel) const;
};

}  // namespace vantor
