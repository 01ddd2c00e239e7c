// zsim: the stand-in Zenthar host as a program. Loads the Vantor launcher module the way the real
// host would, flies a scenario headless and writes what it saw to a folder.

#include "sim/zsim/command_line.h"
#include "sim/zsim/flight.h"

int main(int argc, char** argv) {
  zenthar::zsim::FlyOptions options;
  const int status = zenthar::zsim::ReadCommandLine(argc, argv, options);
  if (status >= 0) return status;
  return zenthar::zsim::Fly(options);
}
