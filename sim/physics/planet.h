#pragma once

#include <cstring>

#include "host/vector3.h"
#include "sim/physics/physical_constants.h"
#include "sim/physics/vec_math.h"

namespace zenthar {

/// The one planet of the stand-in host: a sphere turning about the global +z axis. The global
/// frame is inertial and centred on it; the planet's own frame turns with it, and the two
/// coincide when its rotation angle is 0.
struct Planet {
  double radius = 6371000.0;                 ///< m
  double gm = 3.986004418e14;                ///< m^3/s^2, gravitational parameter
  double rotationRate = kEarthRotationRate;  ///< rad/s, about the global +z axis
  double rotationAtLoad = 0;                 ///< rad, the rotation angle at simulation time 0

  /// rad: how far the planet has turned at simulation time t (s), theta0 + omega t. A longitude in
  /// the planet's frame is the inertial angle less this.
  double RotationAngle(double t) const { return rotationAtLoad + rotationRate * t; }

  /// The rotation from the planet's frame to the global frame at simulation time t (s), as
  /// RotationAboutZ(RotationAngle(t)) gives it. Every vessel at rest on the ground asks for it
  /// within a frame, and its sine and cosine cost more than the rest of following the ground: it is
  /// kept for the angle asked last, matched bit for bit (the sines of -0 and +0 differ).
  const Matrix3& TurnAt(double t) const {
    const double angle = RotationAngle(t);
    if (std::memcmp(&angle, &turnAngle_, sizeof angle) != 0) {
      turn_ = RotationAboutZ(angle);
      turnAngle_ = angle;
    }
    return turn_;
  }

  /// rad/s, global frame: the planet's angular velocity.
  VECTOR3 Spin() const { return {0, 0, rotationRate}; }

  /// m/s, global frame: how fast the ground and the air move at a position (m, global frame):
  /// omega x r.
  VECTOR3 SurfaceVelocity(const VECTOR3& position_I) const {
    return {-rotationRate * position_I.y, rotationRate * position_I.x, 0};
  }

  /// m/s, global frame: a velocity relative to the air that turns with the planet, v - omega x r.
  VECTOR3 AirVelocity(const VECTOR3& position_I, const VECTOR3& velocity_I) const {
    const VECTOR3 air = SurfaceVelocity(position_I);
    return {velocity_I.x - air.x, velocity_I.y - air.y, velocity_I.z - air.z};
  }

 private:
  mutable double turnAngle_ = 0;  ///< rad, the angle turn_ is for
  mutable Matrix3 turn_ = RotationAboutZ(0);
};

}  // namespace zenthar
