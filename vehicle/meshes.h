#pragma once

#include "host/vessel.h"

namespace vantor {

// Each adder draws one of the launcher's meshes on the vessel at its module-wide offset. Which
// meshes a configuration shows, and in which order, is the configuration's business.

void AddMainMesh(VESSEL* vessel);          ///< "vantor_main" at MAIN_MESH_OFFSET
void AddLeftBoosterMesh(VESSEL* vessel);   ///< "vantor_leftsrb" at LEFT_BOOSTER_MESH_OFFSET
void AddRightBoosterMesh(VESSEL* vessel);  ///< "vantor_rightsrb" at RIGHT_BOOSTER_MESH_OFFSET
void AddLeftFairingMesh(VESSEL* vessel);   ///< "vantor_leftpay" at LEFT_FAIRING_MESH_OFFSET
void AddRightFairingMesh(VESSEL* vessel);  ///< "vantor_rightpay" at RIGHT_FAIRING_MESH_OFFSET

}  // namespace vantor
