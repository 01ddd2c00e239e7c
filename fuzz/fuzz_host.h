#pragma once

#include <string>
#include <vector>

#include "sim/world/world.h"

// What both fuzz targets need of the stand-in host.

/// Gives a fresh world the project's class files (read once per process) and a passive class
/// "FuzzHost" for a vessel that the module is bound to directly. With loadsModule, the world finds
/// the built module when a launcher class asks for it; without, a launcher class is refused, so
/// that nothing but the statically linked module objects ever runs.
void PrepareFuzzWorld(zenthar::World& world, bool loadsModule);

/// Reports a broken property with the input's context and ends the process, which libFuzzer
/// records as a crash and the corpus replay as a failed test.
[[noreturn]] void FuzzFail(const std::string& what, const std::string& context);

/// The module's own lines among scenario lines, in order: those that begin with a module key.
/// Lines written by the host never do.
std::vector<std::string> ModuleLines(const std::vector<std::string>& lines);

/// Text split at '\n'; a final line without one counts.
std::vector<std::string> SplitLines(const std::string& text);
