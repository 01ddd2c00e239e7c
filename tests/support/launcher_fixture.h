#pragma once

#include <vector>

#include "tests/support/host_checks.h"
#include "tests/support/host_fixture.h"
#include "vehicle/satellite_payload.h"

/// The host fixture for module code: the journal on, and the module-wide satellite record given
/// back as it was when the test ends.
class LauncherFixture : public HostFixture {
 protected:
  LauncherFixture();
  ~LauncherFixture() override;

  /// The satellite of the class aboard: 950 kg, drawn as "relaysat" at z 23.5 m.
  static void CarrySatellite(const char* className = "Relaysat");

  std::vector<Call> Calls() { return ::Calls(world.journal()); }

 private:
  vantor::SatellitePayload savedPayload_;
};

/// The SetClassCaps calls that both configurations make before their own exhausts and meshes.
std::vector<Call> CommonCapsCalls(double emptyMass, double touchdownZ);
/// The SetClassCaps calls after the meshes that put a satellite aboard.
std::vector<Call> SatelliteCapsCalls(double emptyMassWithSatellite);
