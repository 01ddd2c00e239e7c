#include "vehicle/booster_profile.h"

namespace vantor {

// Full thrust one second after ignition, held until 24 s before burn-out, then tailing off to
// nothing 9 s after it; the booster is empty when the thrust ends.
BoosterProfile boosterProfile = {
    6,
    {0, 1, 1, 0.8, 0.15, 0},
    {1, 0.99583, 0.1618, 0.0492, 0.00563, 0},
    {0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0},
};

}  // namespace vantor
