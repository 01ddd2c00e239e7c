#pragma once

#include <string>
#include <vector>

#include "sim/world/world.h"
#include "tests/support/project_world.h"

// What both fuzz targets need of the stand-in host.

/// Reports a broken property with the input's context and ends the process, which libFuzzer
/// records as a crash and the corpus replay as a failed test.
[[noreturn]] void FuzzFail(const std::string& what, const std::string& context);

/// The module's own lines among scenario lines, in order: those that begin with a module key.
/// Lines written by the host never do.
std::vector<std::string> ModuleLines(const std::vector<std::string>& lines);

/// Text split at '\n'; a final line without one counts.
std::vector<std::string> SplitLines(const std::string& text);
