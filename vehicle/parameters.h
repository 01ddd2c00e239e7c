#pragma once

#include "host/vector3.h"

namespace vantor {

// The launcher's fixed figures, shared by every launcher the module serves. Specific impulses are
// held as effective exhaust velocities (m/s), thrusts in newtons, positions in the vessel frame
// (m).

extern const double STANDARD_GRAVITY;  ///< m/s^2, also the kilogram-force to newton factor

extern const double CORE_GROSS_MASS;       ///< kg, core stage with its propellant
extern const double CORE_DRY_MASS;         ///< kg
extern const double CORE_PROPELLANT_MASS;  ///< kg, the host's main-tank capacity

extern const double BOOSTER_GROSS_MASS;       ///< kg, one booster with its propellant
extern const double BOOSTER_DRY_MASS;         ///< kg, one booster
extern const double BOOSTER_PROPELLANT_MASS;  ///< kg, one booster

extern const double FAIRING_HALF_MASS;  ///< kg, one payload-fairing half

extern const double CORE_ISP_SEA_LEVEL;     ///< m/s
extern const double CORE_ISP_VACUUM;        ///< m/s
extern const double BOOSTER_ISP_SEA_LEVEL;  ///< m/s
extern const double BOOSTER_ISP_VACUUM;     ///< m/s

extern const double CORE_THRUST_VACUUM;     ///< N
extern const double BOOSTER_THRUST_VACUUM;  ///< N, one booster

// Mesh offsets (m); the jettisoned bodies are released from the same points.
extern const VECTOR3 MAIN_MESH_OFFSET;
extern const VECTOR3 LEFT_BOOSTER_MESH_OFFSET;
extern const VECTOR3 RIGHT_BOOSTER_MESH_OFFSET;
extern const VECTOR3 LEFT_FAIRING_MESH_OFFSET;
extern const VECTOR3 RIGHT_FAIRING_MESH_OFFSET;

// Exhaust flame reference positions (m).
extern const VECTOR3 MAIN_EXHAUST_POS;
extern const VECTOR3 LEFT_BOOSTER_EXHAUST_POS;
extern const VECTOR3 RIGHT_BOOSTER_EXHAUST_POS;

}  // namespace vantor
