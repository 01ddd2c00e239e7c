#pragma once

namespace vantor {

// The keys of the module's scenario lines. No key is the beginning of another.

constexpr char KEY_CONFIGURATION[] = "CONFIGURATION";
constexpr char KEY_ITIME[] = "ITIME";
constexpr char KEY_BOOSTER_IGNITED[] = "BOOSTER_IGNITED";
constexpr char KEY_SAT_OFS_X[] = "SAT_OFS_X";
constexpr char KEY_SAT_OFS_Y[] = "SAT_OFS_Y";
constexpr char KEY_SAT_OFS_Z[] = "SAT_OFS_Z";
constexpr char KEY_SAT_MASS[] = "SAT_MASS";
constexpr char KEY_SAT_JETTISONED[] = "SAT_JETTISONED";
constexpr char KEY_SAT_NAME[] = "SAT_NAME";
constexpr char KEY_SAT_MESH[] = "SAT_MESH";
constexpr char KEY_SHROUD[] = "SHROUD";

}  // namespace vantor
