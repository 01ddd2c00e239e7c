#pragma once

#include "host/engine_types.h"
#include "host/export.h"
#include "host/handles.h"
#include "host/vector3.h"
#include "host/vessel_status.h"

namespace zenthar {
struct VesselState;  ///< the host's own record of the vessel
}

/// Lift coefficients at an angle of attack (rad): lift, moment and drag coefficient.
typedef void (*LiftCoeffFunc)(double aoa, double* cl, double* cm, double* cd);

/// The host's view of one vessel. The module creates one in zvcInit from the host's handle and
/// calls its operations; the host implements them. Lengths in m, masses in kg, thrusts in N.
class ZENTHAR_EXPORT VESSEL {
 public:
  VESSEL(OBJHANDLE hostVessel, int flightModel);

  // Physical capabilities.
  void SetSize(double size) const;           ///< m, mean radius
  void SetCOG_elev(double elevation) const;  ///< m, centre of gravity above the touchdown plane
  void SetEmptyMass(double mass) const;
  double GetEmptyMass() const;
  void SetMaxFuelMass(double mass) const;  ///< main tank capacity; never refills the tank
  double GetFuelMass() const;              ///< propellant in the main tank
  void SetISP(double isp) const;           ///< m/s, effective exhaust velocity of the main tank
  void SetTouchdownPoints(const VECTOR3& p1, const VECTOR3& p2, const VECTOR3& p3) const;
  void SetCW(double zPositive, double zNegative, double x, double y) const;  ///< drag coefficients
  void SetRotDrag(const VECTOR3& drag) const;
  void SetPitchMomentScale(double scale) const;
  void SetBankMomentScale(double scale) const;
  void SetLiftCoeffFunc(LiftCoeffFunc lift) const;  ///< null: no lift

  // Engines.
  void SetMaxThrust(ENGINETYPE engine, double thrust) const;
  void SetEngineLevel(ENGINETYPE engine, double level) const;  ///< level 0..1
  double GetEngineLevel(ENGINETYPE engine) const;
  /// The host adds the double behind this pointer to the main thrust (N) in every step.
  double* GetMainThrustModPtr() const;

  // Environment.
  double GetAtmPressure() const;  ///< Pa, ambient pressure at the vessel

  // Meshes and exhaust flames.
  void ClearMeshes() const;
  void AddMesh(const char* meshName, const VECTOR3* offset) const;
  void ClearExhaustRefs() const;
  void ClearAttExhaustRefs() const;
  /// Adds a flame at pos; dir null means along -z. Returns the flame's index.
  unsigned int AddExhaustRef(EXHAUSTTYPE type, const VECTOR3& pos, double lengthScale,
                             double widthScale, const VECTOR3* dir) const;
  void SetExhaustScales(EXHAUSTTYPE type, unsigned short index, double lengthScale,
                        double widthScale) const;

  // State and frames.
  void GetStatus(VESSELSTATUS& status) const;
  /// A point in the vessel frame as a position relative to the reference body.
  void Local2Rel(const VECTOR3& local, VECTOR3& rel) const;
  /// A vector rotated from the vessel frame into the global frame.
  void GlobalRot(const VECTOR3& local, VECTOR3& global) const;
  const char* GetName() const;

  /// Creates a vessel of a known class; null when the class is unknown.
  static OBJHANDLE Create(const char* name, const char* className, const VESSELSTATUS& status);

  // The host's own scenario lines.
  void ParseScenarioLine(char* line, VESSELSTATUS* status) const;
  void SaveDefaultState(FILEHANDLE scenario) const;

 private:
  zenthar::VesselState* state_;
};
