#include "host/callbacks.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>

#include "config/core_configuration.h"
#include "config/launcher_configuration.h"
#include "config/stack_configuration.h"
#include "host/zapi.h"
#include "module/configuration_manager.h"

// The module serves one launcher at a time. A second zvcInit while a launcher lives gives the new
// vessel a fresh manager and reclaims the old one with its configuration. After zvcExit the module
// has no manager, and a callback that finds none does nothing: the vessel it is handed may
// already be gone.

namespace {

ConfigurationManager* ManagerFor(VESSEL* vessel) {
  return vessel != nullptr ? Manager() : nullptr;
}

// Compares the first length characters without regard to case; a shorter line never matches.
bool StartsWithKey(const char* line, const char* key, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    const int a = std::tolower(static_cast<unsigned char>(line[i]));
    const int b = std::tolower(static_cast<unsigned char>(key[i]));
    if (a != b) return false;
  }
  return true;
}

// Reads the configuration number of a CONFIGURATION line; false for any other line. A line with
// no readable number names 0.
bool ReadConfigurationLine(const char* line, int& number) {
  const std::size_t length = std::strlen(CONFIGURATION_KEY);
  if (!StartsWithKey(line, CONFIGURATION_KEY, length)) return false;
  number = 0;
  std::sscanf(line + length, "%d", &number);
  return true;
}

// A number that names neither configuration keeps the one loading started with.
LauncherConfiguration* ChooseConfiguration(int number, LauncherConfiguration* initial) {
  if (number == StackConfiguration::CONFIGURATION_NUMBER)
    return new (std::nothrow) StackConfiguration;
  if (number == CoreConfiguration::CONFIGURATION_NUMBER)
    return new (std::nothrow) CoreConfiguration;
  return initial;
}

}  // namespace

VESSEL* zvcInit(OBJHANDLE hostVessel, int flightModel) {
  ReplaceManager(new (std::nothrow) ConfigurationManager);
  return new (std::nothrow) VESSEL(hostVessel, flightModel);
}

void zvcExit(VESSEL* vessel) {
  ReplaceManager(nullptr);
  delete vessel;
}

void zvcSetClassCaps(VESSEL* vessel) {
  ConfigurationManager* manager = ManagerFor(vessel);
  if (manager == nullptr) return;
  manager->SetConfiguration(new (std::nothrow) StackConfiguration, vessel, 0.0);
}

void zvcTimestep(VESSEL* vessel, double simTime) {
  ConfigurationManager* manager = ManagerFor(vessel);
  if (manager == nullptr) return;
  manager->Timestep(vessel, simTime);
}

// The host hears 0 whatever the configuration did with the keys.
int zvcConsumeKey(VESSEL* vessel, const char* keystate) {
  ConfigurationManager* manager = ManagerFor(vessel);
  if (manager == nullptr || keystate == nullptr) return 0;
  manager->ConsumeKey(vessel, keystate);
  return 0;
}

// Lines before the first CONFIGURATION line are the host's. The configuration that line names is
// installed before any of its own lines arrive, so that its Init cannot undo what they set; its
// capabilities are applied once more at the end, now with the values read.
void zvcLoadState(VESSEL* vessel, FILEHANDLE scenario, VESSELSTATUS* status) {
  ConfigurationManager* manager = ManagerFor(vessel);
  if (manager == nullptr) return;
  LauncherConfiguration* const initial = new (std::nothrow) StackConfiguration;
  manager->SetConfiguration(initial, vessel, 0.0);
  LauncherConfiguration* configuration = initial;
  bool selected = false;
  char* line = nullptr;
  while (zapiReadScenario_nextline(scenario, line)) {
    int number = 0;
    if (!selected && ReadConfigurationLine(line, number)) {
      configuration = ChooseConfiguration(number, initial);
      manager->SetConfiguration(configuration, vessel, 0.0);
      selected = true;
    } else if (selected && configuration != nullptr) {
      configuration->ParseScenarioLine(vessel, line, status);
    } else {
      vessel->ParseScenarioLine(line, status);
    }
  }
  if (configuration != nullptr) configuration->SetClassCaps(vessel, 0.0);
  manager->SetCurrent(configuration);
}

void zvcSaveState(VESSEL* vessel, FILEHANDLE scenario) {
  ConfigurationManager* manager = ManagerFor(vessel);
  if (manager == nullptr) return;
  vessel->SaveDefaultState(scenario);
  manager->SaveState(vessel, scenario);
}
