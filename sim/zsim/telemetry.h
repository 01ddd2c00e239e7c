#pragma once

#include <cstdio>
#include <string>

#include "sim/world/world.h"

namespace zenthar::zsim {

/// The flown vehicle's state at one moment, as a telemetry row shows it: the columns in this
/// order, then the vessel's name.
struct TelemetrySample {
  double time;             ///< s
  double altitude;         ///< m
  double speed;            ///< m/s, relative to the planet's centre in the inertial frame
  double verticalSpeed;    ///< m/s, away from the planet's centre
  double acceleration;     ///< m/s^2, what an accelerometer aboard reads: thrust, drag, ground
  double mass;             ///< kg
  double propellant;       ///< kg, in the main tank
  double thrust;           ///< N, main engine with the main-thrust modifier
  double pressure;         ///< Pa, ambient
  double dynamicPressure;  ///< Pa, from the speed relative to the air
  double mach;             ///< from the speed relative to the air; NaN where there is no air
  double latitude;         ///< deg, geocentric
  double longitude;        ///< deg, east, in the turning planet's frame
  double airSpeed;         ///< m/s, relative to the air, which turns with the planet
  double flightPathAngle;  ///< deg, the inertial velocity's angle above the local horizon
};

/// The highest value of a quantity over the flight, and when it came.
struct Peak {
  double value = 0;
  double time = 0;      ///< s
  double altitude = 0;  ///< m
  double speed = 0;     ///< m/s
};

/// Records the flown vehicle frame by frame: a row of telemetry.csv every `every` seconds, and the
/// peaks of dynamic pressure and acceleration over every frame. Writes to a buffered file and
/// allocates nothing per frame.
///
/// The first row is the vehicle at load as the first frame flies it: where it was, with the
/// masses, thrust and acceleration of that frame. A module puts a loaded state (a booster burn's
/// thrust and mass) into effect in its first time step, so the moment of loading itself would show
/// a mass and thrust the vehicle never flew with.
class Telemetry {
 public:
  static const char* const kHeader;

  /// Without a file (null) it keeps the peaks only: a sweep's flight writes no rows.
  Telemetry(const World& world, double every, std::FILE* csv);

  /// After the scenario was read: the vehicle at load, whose row follows the first frame.
  void Start(const VesselState* vehicle);
  /// Before a frame: where the vehicle is and how fast it goes, for its acceleration.
  void BeforeFrame(const VesselState* vehicle);
  /// After every frame.
  void Record(const VesselState* vehicle);
  /// After the last frame: the row of the load when no frame was flown.
  void Finish();

  const Peak& maxDynamicPressure() const { return maxDynamicPressure_; }
  const Peak& maxAcceleration() const { return maxAcceleration_; }
  /// The vehicle at the last Record, worked out when asked (in most frames no row is due) from the
  /// vehicle as it is: ask before the next frame.
  TelemetrySample last() const;

 private:
  /// m/s^2, what an accelerometer aboard reads after the last frame.
  double AccelerationOf(const VesselState& vehicle) const;
  /// The load's row, with what the first frame put into effect (null: no frame flew).
  void RecordLoad(const VesselState* afterFirstFrame);
  /// Takes the vehicle at a time (s) into the peaks, and into the file when a row is due.
  void Keep(const VesselState& vehicle, double time, double acceleration);
  void WriteRow(const TelemetrySample& sample, const std::string& vessel);

  const World& world_;
  double every_;  ///< s
  std::FILE* csv_;
  long nextRow_ = 0;  ///< the next row is due at nextRow_ x every_
  const VesselState* before_ = nullptr;
  VECTOR3 positionBefore_{0, 0, 0};  ///< m
  VECTOR3 velocityBefore_{0, 0, 0};  ///< m/s
  Peak maxDynamicPressure_;
  Peak maxAcceleration_;
  const VesselState* lastVehicle_ = nullptr;  ///< at the last Record
  double lastTime_ = 0;                       ///< s
  double lastAcceleration_ = 0;               ///< m/s^2
  VesselState loaded_;                        ///< the vehicle at load
  const VesselState* loadedVehicle_ = nullptr;
  double loadTime_ = 0;       ///< s
  bool loadPending_ = false;  ///< its row is still to be written
  std::string row_;           ///< the row being written
};

/// The vehicle's telemetry at simulation time t, with an acceleration worked out by the caller.
TelemetrySample SampleOf(const VesselState& vessel, const Planet& planet, double time,
                         double acceleration);

}  // namespace zenthar::zsim
