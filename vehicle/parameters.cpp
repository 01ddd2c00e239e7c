#include "vehicle/parameters.h"

namespace vantor {

// Every figure is a constant expression, so all of them are in place when the module is loaded,
// whatever other file reads them during its own initialisation. They are written in the order in
// which they derive from one another; each derived figure is a single double operation on the
// operands shown, so that the same doubles come out everywhere (the left booster flame x is
// -3.45 - 0.2, one unit in the last place away from -3.65).

// Stored offsets (m).
constexpr VECTOR3 MAIN_MESH_OFFSET = {0, 0, 0};
constexpr VECTOR3 LEFT_FAIRING_MESH_OFFSET = {0, -1.345, 24.09};
constexpr VECTOR3 RIGHT_FAIRING_MESH_OFFSET = {0, 1.345, 24.09};

constexpr double STANDARD_GRAVITY = 9.80665;  // m/s^2

// Boosters hang 2 m below the core's mesh origin (m).
constexpr VECTOR3 LEFT_BOOSTER_MESH_OFFSET = {-3.45, 0, MAIN_MESH_OFFSET.z - 2};
constexpr VECTOR3 RIGHT_BOOSTER_MESH_OFFSET = {3.45, 0, MAIN_MESH_OFFSET.z - 2};

// Booster flames sit 0.2 m further out than the booster mesh origins and 14 m below them (m).
constexpr VECTOR3 LEFT_BOOSTER_EXHAUST_POS = {LEFT_BOOSTER_MESH_OFFSET.x - 0.2, 0,
                                              LEFT_BOOSTER_MESH_OFFSET.z - 14};
constexpr VECTOR3 RIGHT_BOOSTER_EXHAUST_POS = {RIGHT_BOOSTER_MESH_OFFSET.x + 0.2, 0,
                                               RIGHT_BOOSTER_MESH_OFFSET.z - 14};
constexpr VECTOR3 MAIN_EXHAUST_POS = {0, 0, MAIN_MESH_OFFSET.z - 15};  // m

constexpr double CORE_GROSS_MASS = 170800;                                         // kg
constexpr double BOOSTER_GROSS_MASS = 277500;                                      // kg
constexpr double FAIRING_HALF_MASS = 500;                                          // kg
constexpr double CORE_DRY_MASS = 12700;                                            // kg
constexpr double CORE_PROPELLANT_MASS = CORE_GROSS_MASS - CORE_DRY_MASS;           // kg, 158100
constexpr double BOOSTER_DRY_MASS = 39800;                                         // kg
constexpr double BOOSTER_PROPELLANT_MASS = BOOSTER_GROSS_MASS - BOOSTER_DRY_MASS;  // kg, 237700

// Specific impulses given in seconds, held in m/s.
constexpr double BOOSTER_ISP_SEA_LEVEL = STANDARD_GRAVITY * 250;
constexpr double BOOSTER_ISP_VACUUM = STANDARD_GRAVITY * 275;
constexpr double CORE_ISP_SEA_LEVEL = STANDARD_GRAVITY * 340;
constexpr double CORE_ISP_VACUUM = STANDARD_GRAVITY * 430;

/// 660 000 kgf in newtons.
constexpr double BOOSTER_THRUST_VACUUM = 9.80665 * 660000;
/// 113 600 kgf in newtons.
constexpr double CORE_THRUST_VACUUM = 9.80665 * 113600;

}  // namespace vantor
