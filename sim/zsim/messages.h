#pragma once

#include <string>

#include "sim/zsim/command_line.h"

namespace zenthar::zsim {

/// Says what went wrong as zsim's one line on standard error, "zsim: MESSAGE", the message made
/// printable; answers `status`, the exit status it stands for.
int Fail(const std::string& message, int status = kExitCannotFly);

/// A file's name without its folder, as a plot's or a file's title shows a scenario.
std::string BaseName(const std::string& path);

}  // namespace zenthar::zsim
