#pragma once

#include "sim/zsim/command_line.h"

namespace zenthar::zsim {

/// Carries out `zsim sweep`: flies the sweep's flights in parallel processes into DIR/sweep.csv
/// and plots them, or writes them as commands to DIR/plan.txt (--plan), or merges the rows of
/// planned flights into one DIR/sweep.csv (--collect). Returns zsim's exit status.
int Sweep(const SweepOptions& options);

/// Shell text that stands for `text` as it is: in single quotes, its own quotes written '\''.
std::string ShellQuoted(const std::string& text);

}  // namespace zenthar::zsim
