#pragma once

#include "host/handles.h"
#include "host/vector3.h"

/// The host's state record of one vessel, as GetStatus fills it and VESSEL::Create takes it.
struct VESSELSTATUS {
  VECTOR3 position;         ///< m, relative to the reference body, global frame
  VECTOR3 velocity;         ///< m/s, relative to the reference body, global frame
  VECTOR3 angularVelocity;  ///< rad/s, vessel frame
  VECTOR3 attitude;         ///< rad, rotation angles about the global x, y and z axes
  double fuelLevel;         ///< main tank fill level, 0..1
  double mainLevel;         ///< main engine level, 0..1
  double hoverLevel;        ///< hover engine level, 0..1
  OBJHANDLE referenceBody;  ///< the body position and velocity are relative to
  int landed;               ///< 1 standing on the surface, 0 flying
};
