#include "sim/zsim/telemetry.h"

#include <cmath>
#include <iterator>

#include "sim/files/text_format.h"
#include "sim/physics/atmosphere.h"
#include "sim/physics/ground_point.h"
#include "sim/physics/physical_constants.h"
#include "sim/physics/physics.h"
#include "sim/zsim/csv_field.h"

namespace zenthar::zsim {

namespace {

/// Speed of sound (m/s) in air at temperature t (K): sqrt(gamma R* T / M0).
double SpeedOfSound(double temperature) {
  return std::sqrt(kAirHeatCapacityRatio * kGasConstant / kAirMolarMass * temperature);
}

VECTOR3 Gravity(const VECTOR3& position, const Planet& planet) {
  const double r2 = Dot(position, position);
  return (-planet.gm / (r2 * std::sqrt(r2))) * position;
}

/// Pa, the dynamic pressure at a speed (m/s) through that air.
double DynamicPressure(const AtmosphereSample& air, double speed) {
  return 0.5 * air.density * speed * speed;
}

void Raise(Peak& peak, double value, double time, double altitude, const VesselState& vehicle) {
  if (value <= peak.value) return;
  peak = Peak{value, time, altitude, Length(vehicle.velocity)};
}

}  // namespace

const char* const Telemetry::kHeader =
    "t_s,altitude_m,speed_m_s,vertical_speed_m_s,accel_m_s2,mass_kg,propellant_kg,thrust_N,"
    "pressure_Pa,dynamic_pressure_Pa,mach,vessel,latitude_deg,longitude_deg,air_speed_m_s,"
    "flight_path_angle_deg\n";

TelemetrySample SampleOf(const VesselState& vessel, const Planet& planet, double time,
                         double acceleration) {
  const double altitude = Altitude(vessel, planet);
  const AtmosphereSample& air = vessel.air.At(altitude);
  const double speed = Length(vessel.velocity);
  const double airSpeed = Length(planet.AirVelocity(vessel.position, vessel.velocity));
  const double radius = Length(vessel.position);
  const GroundPoint ground = GroundPointOf(planet, vessel.position, time);
  TelemetrySample sample;
  sample.time = time;
  sample.altitude = altitude;
  sample.speed = speed;
  sample.verticalSpeed = radius > 0 ? Dot(vessel.velocity, vessel.position) / radius : 0;
  sample.acceleration = acceleration;
  sample.mass = vessel.Mass();
  sample.propellant = vessel.fuelMass;
  sample.thrust = MainThrust(vessel);
  sample.pressure = air.pressure;
  sample.dynamicPressure = DynamicPressure(air, airSpeed);
  sample.mach = air.temperature > 0 ? airSpeed / SpeedOfSound(air.temperature) : NAN;
  sample.latitude = ground.latitude;
  sample.longitude = ground.longitude;
  sample.airSpeed = airSpeed;
  sample.flightPathAngle = FlightPathAngle(vessel.position, vessel.velocity);
  return sample;
}

Telemetry::Telemetry(const World& world, double every, std::FILE* csv)
    : world_(world), every_(every), csv_(csv) {
  if (csv_) std::fputs(kHeader, csv_);
}

void Telemetry::BeforeFrame(const VesselState* vehicle) {
  before_ = vehicle;
  if (!vehicle) return;
  positionBefore_ = vehicle->position;
  velocityBefore_ = vehicle->velocity;
}

void Telemetry::Start(const VesselState* vehicle) {
  if (!vehicle) return;
  loaded_ = *vehicle;
  loadedVehicle_ = vehicle;
  loadTime_ = world_.time();
  loadPending_ = true;
}

void Telemetry::Record(const VesselState* vehicle) {
  if (loadPending_) RecordLoad(vehicle);
  if (!vehicle) return;
  Keep(*vehicle, world_.time(), AccelerationOf(*vehicle));
}

void Telemetry::Finish() {
  if (loadPending_) RecordLoad(nullptr);
}

double Telemetry::AccelerationOf(const VesselState& vehicle) const {
  const Planet& planet = world_.planet;
  // On the ground the ground holds the vessel up and carries it round with the planet: it feels
  // its weight less what keeps it on that circle. In flight the change of velocity over the
  // frame, less gravity, is what thrust and drag did. A vessel met for the first time (the
  // satellite just released) has only its thrust to go by.
  if (vehicle.landed) {
    const VECTOR3 circling = Cross(planet.Spin(), planet.SurfaceVelocity(vehicle.position));
    return Length(circling - Gravity(vehicle.position, planet));
  }
  if (&vehicle == before_ && world_.dt > 0) {
    const VECTOR3 middle = 0.5 * (positionBefore_ + vehicle.position);
    const VECTOR3 change = (1 / world_.dt) * (vehicle.velocity - velocityBefore_);
    return Length(change - Gravity(middle, planet));
  }
  return vehicle.Mass() > 0 ? MainThrust(vehicle) / vehicle.Mass() : 0;
}

void Telemetry::RecordLoad(const VesselState* afterFirstFrame) {
  loadPending_ = false;
  VesselState& flown = loaded_;
  double acceleration = AccelerationOf(flown);
  if (afterFirstFrame && afterFirstFrame == loadedVehicle_) {
    flown.emptyMass = afterFirstFrame->emptyMass;
    flown.isp = afterFirstFrame->isp;
    for (int engine = 0; engine < 4; ++engine) {
      flown.maxThrust[engine] = afterFirstFrame->maxThrust[engine];
      flown.engineLevel[engine] = afterFirstFrame->engineLevel[engine];
    }
    flown.mainThrustMod = afterFirstFrame->mainThrustMod;
    if (!flown.landed) acceleration = AccelerationOf(*afterFirstFrame);
  }
  Keep(flown, loadTime_, acceleration);
}

TelemetrySample Telemetry::last() const {
  if (!lastVehicle_) return {};
  return SampleOf(*lastVehicle_, world_.planet, lastTime_, lastAcceleration_);
}

void Telemetry::Keep(const VesselState& vehicle, double time, double acceleration) {
  lastVehicle_ = &vehicle;
  lastTime_ = time;
  lastAcceleration_ = acceleration;
  // Every frame counts for the peaks, which need only a few of a row's quantities.
  const double altitude = Altitude(vehicle, world_.planet);
  const double airSpeed = Length(world_.planet.AirVelocity(vehicle.position, vehicle.velocity));
  // The next frame's environment asks for the air at this same place and finds it worked out.
  const double dynamicPressure = DynamicPressure(vehicle.air.At(altitude), airSpeed);
  Raise(maxDynamicPressure_, dynamicPressure, time, altitude, vehicle);
  Raise(maxAcceleration_, acceleration, time, altitude, vehicle);

  if (!csv_ || time + 1e-9 < static_cast<double>(nextRow_) * every_) return;
  nextRow_ = static_cast<long>(std::floor((time + 1e-9) / every_)) + 1;
  WriteRow(SampleOf(vehicle, world_.planet, time, acceleration), vehicle.name);
}

void Telemetry::WriteRow(const TelemetrySample& s, const std::string& vessel) {
  const double columns[] = {s.time, s.altitude,   s.speed,  s.verticalSpeed, s.acceleration,
                            s.mass, s.propellant, s.thrust, s.pressure,      s.dynamicPressure};
  // A row goes to the file at once, put together in text kept from row to row (no allocation
  // once it has grown to a row's length): a write to the file costs more than the copy.
  char numbers[(std::size(columns) + 1) * (kNumberTextSize + 1)];
  char* end = numbers;
  for (double value : columns) {
    end = WriteGeneral(end, value, kCsvDigits);
    *end++ = ',';
  }
  if (!std::isnan(s.mach)) end = WriteGeneral(end, s.mach, kCsvDigits);
  *end++ = ',';
  row_.assign(numbers, end);
  AppendCsvField(row_, vessel);
  end = numbers;
  for (double value : {s.latitude, s.longitude, s.airSpeed, s.flightPathAngle}) {
    *end++ = ',';
    end = WriteGeneral(end, value, kCsvDigits);
  }
  *end++ = '\n';
  row_.append(numbers, end);
  std::fwrite(row_.data(), 1, row_.size(), csv_);
}

}  // namespace zenthar::zsim
