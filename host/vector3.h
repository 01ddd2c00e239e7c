#pragma once

/// A vector in metres, metres per second or radians, depending on use. In the vessel frame +z
/// points towards the nose.
struct VECTOR3 {
  double x;
  double y;
  double z;
};
