#include "vehicle/meshes.h"

#include "vehicle/parameters.h"

namespace vantor {

// Each adder hands the host the address of the module-wide offset constant: the same point from
// which the jettisoned body is later released.

void AddMainMesh(VESSEL* vessel) {
  vessel->AddMesh("vantor_main", &MAIN_MESH_OFFSET);
}

void AddLeftBoosterMesh(VESSEL* vessel) {
  vessel->AddMesh("vantor_leftsrb", &LEFT_BOOSTER_MESH_OFFSET);
}

void AddRightBoosterMesh(VESSEL* vessel) {
  vessel->AddMesh("vantor_rightsrb", &RIGHT_BOOSTER_MESH_OFFSET);
}

void AddLeftFairingMesh(VESSEL* vessel) {
  vessel->AddMesh("vantor_leftpay", &LEFT_FAIRING_MESH_OFFSET);
}

void AddRightFairingMesh(VESSEL* vessel) {
  vessel->AddMesh("vantor_rightpay", &RIGHT_FAIRING_MESH_OFFSET);
}

}  // namespace vantor
