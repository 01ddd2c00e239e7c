// zsim: the stand-in Zenthar host as a program. Loads the Vantor launcher module the way the real
// host would, flies a scenario headless and writes what it saw to a folder; or flies it many times
// over (a sweep, a search for the heaviest satellite it puts into an orbit).

#include "sim/zsim/capability.h"
#include "sim/zsim/command_line.h"
#include "sim/zsim/flight.h"
#include "sim/zsim/sweep.h"

int main(int argc, char** argv) {
  using namespace zenthar::zsim;
  Command command;
  const int status = ReadCommandLine(argc, argv, command);
  if (status >= 0) return status;
  if (command.kind == Command::Kind::kSweep) return Sweep(command.sweep);
  if (command.kind == Command::Kind::kCapability) return Capability(command.capability);
  return Fly(command.fly);
}
