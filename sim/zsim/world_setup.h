#pragma once

#include <string>

#include "sim/world/world.h"
#include "sim/zsim/command_line.h"
#include "sim/zsim/install_layout.h"

namespace zenthar::zsim {

/// Makes the world a flight asks for: the class files (their module replaced by --module), the
/// journal on for a trace, the scenario read, then the frame length and key presses of the
/// command line. False with one line saying what is wrong and where.
bool SetUpWorld(World& world, const FlyOptions& options, const InstallLayout& layout,
                std::string& error);

}  // namespace zenthar::zsim
