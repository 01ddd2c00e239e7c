#pragma once

// The stand-in host with the project's own files, as the tests, the benchmarks and the fuzz
// targets set it up: the class files of classes/, the module the build made, the sample scenarios.

#include <string>

#include "host/vector3.h"
#include "sim/files/vessel_class.h"
#include "sim/world/world.h"

/// The passive class of a vessel that module code under test is bound to directly.
constexpr char kTestBodyClass[] = "TestBody";

/// The project's class files and the passive class kTestBodyClass, read once per process. Ends the
/// process with a message when the class files cannot be read: nothing runs without them.
const zenthar::ClassRegistry& ProjectClasses();

/// Gives a world the project's classes and the folder of the built module. Without `findsModule`
/// the world finds no module, so that a launcher class is refused and nothing but module code
/// linked into the program runs.
void UseProjectFiles(zenthar::World& world, bool findsModule = true);

/// A vessel of kTestBodyClass at rest at a position (m), flying, upright; ends the process when
/// the world refuses it.
zenthar::VesselState* AddTestBody(zenthar::World& world, const std::string& name,
                                  const VECTOR3& position);

/// A file of the project's scenarios folder, e.g. "default.scn".
std::string ScenarioPath(const std::string& file);
