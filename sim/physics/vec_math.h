#pragma once

#include <cmath>

#include "host/vector3.h"

namespace zenthar {

// Small vector and rotation arithmetic for the stand-in host.

inline VECTOR3 operator+(const VECTOR3& a, const VECTOR3& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline VECTOR3 operator-(const VECTOR3& a, const VECTOR3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline VECTOR3 operator*(double s, const VECTOR3& a) {
  return {s * a.x, s * a.y, s * a.z};
}
inline double Dot(const VECTOR3& a, const VECTOR3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline VECTOR3 Cross(const VECTOR3& a, const VECTOR3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const VECTOR3& a) {
  return std::sqrt(Dot(a, a));
}
/// The direction of a vector of non-zero length, as a unit vector.
inline VECTOR3 Unit(const VECTOR3& a) {
  return (1 / Length(a)) * a;
}

/// Rotation matrix, row-major: m[row][column]. Applied to column vectors.
struct Matrix3 {
  double m[3][3];

  static Matrix3 Identity() { return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }
};

inline VECTOR3 operator*(const Matrix3& r, const VECTOR3& v) {
  return {r.m[0][0] * v.x + r.m[0][1] * v.y + r.m[0][2] * v.z,
          r.m[1][0] * v.x + r.m[1][1] * v.y + r.m[1][2] * v.z,
          r.m[2][0] * v.x + r.m[2][1] * v.y + r.m[2][2] * v.z};
}

/// The transpose applied: for a rotation, the inverse.
inline VECTOR3 TransposeTimes(const Matrix3& r, const VECTOR3& v) {
  return {r.m[0][0] * v.x + r.m[1][0] * v.y + r.m[2][0] * v.z,
          r.m[0][1] * v.x + r.m[1][1] * v.y + r.m[2][1] * v.z,
          r.m[0][2] * v.x + r.m[1][2] * v.y + r.m[2][2] * v.z};
}

inline Matrix3 operator*(const Matrix3& a, const Matrix3& b) {
  Matrix3 c{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      c.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
  return c;
}

/// The rotation by an angle (rad) about the global z axis: from the planet's frame to the global
/// frame when the planet has turned by that angle.
inline Matrix3 RotationAboutZ(double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
}

/// Attitude angles (rad) to the rotation from vessel frame to global frame: R = Rz(c) Ry(b) Rx(a),
/// that is, rotate about global x by a, then about global y by b, then about global z by c.
inline Matrix3 RotationFromAngles(const VECTOR3& angles) {
  const double ca = std::cos(angles.x), sa = std::sin(angles.x);
  const double cb = std::cos(angles.y), sb = std::sin(angles.y);
  const double cc = std::cos(angles.z), sc = std::sin(angles.z);
  const Matrix3 rx{{{1, 0, 0}, {0, ca, -sa}, {0, sa, ca}}};
  const Matrix3 ry{{{cb, 0, sb}, {0, 1, 0}, {-sb, 0, cb}}};
  const Matrix3 rz{{{cc, -sc, 0}, {sc, cc, 0}, {0, 0, 1}}};
  return rz * (ry * rx);
}

/// The inverse of RotationFromAngles, with b in [-pi/2, pi/2].
inline VECTOR3 AnglesFromRotation(const Matrix3& r) {
  const double sb = -r.m[2][0];
  const double b = std::asin(sb < -1 ? -1 : (sb > 1 ? 1 : sb));
  if (std::fabs(r.m[2][0]) > 1 - 1e-12) {
    // Gimbal lock: only a - c (or a + c) is defined; put it all in a.
    return {std::atan2(-r.m[1][2], r.m[1][1]), b, 0};
  }
  return {std::atan2(r.m[2][1], r.m[2][2]), b, std::atan2(r.m[1][0], r.m[0][0])};
}

}  // namespace zenthar
