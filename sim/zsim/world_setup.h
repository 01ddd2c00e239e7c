#pragma once

#include <string>

#include "sim/world/world.h"
#include "sim/zsim/command_line.h"
#include "sim/zsim/install_layout.h"

namespace zenthar::zsim {

/// Makes the world a flight asks for: the class files (their module replaced by --module), the
/// journal on for a trace, the scenario read, then the target orbit, frame length and key presses
/// of the command line, and the guidance engaged for a launcher with a target. `scenarioText`,
/// when given, receives the scenario as read. False with one line saying what is wrong and where.
bool SetUpWorld(World& world, const FlyOptions& options, const InstallLayout& layout,
                std::string& error, std::string* scenarioText = nullptr);

/// The library --module names, as a path: one without a folder would be looked up as a module
/// name among the installed ones, so it is taken from the current folder.
std::string ModulePath(const std::string& module);

/// Puts into the options when the flight ends (--until, else the scenario's UNTIL, else by hand as
/// late as a flight may go, else 60 s after a guidance has released the satellite, else 660 s) and
/// every save (--save-at and the scenario's SAVE_AT).
/// Returns -1, or zsim's exit status with one line: a bad command line when a save comes after the
/// end, cannot fly when the flight would have too many frames.
int ScheduleFlight(const World& world, FlyOptions& options, std::string& error);

/// Whether a flight has come to the end ScheduleFlight put into its options: the end time, or
/// kAfterRelease after its guidance saw the satellite leave.
bool FlightOver(const World& world, const FlyOptions& options);

}  // namespace zenthar::zsim
