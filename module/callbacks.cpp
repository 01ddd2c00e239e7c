#include "host/callbacks.h"

#include <new>

#include "config/core_configuration.h"
#include "config/launcher_configuration.h"
#include "config/stack_configuration.h"
#include "host/zapi.h"
#include "module/configuration_manager.h"
#include "scenario/scenario_keys.h"
#include "scenario/scenario_reader.h"

// The module serves one launcher at a time. A second zvcInit while a launcher lives gives the new
// vessel a fresh manager and reclaims the old one with its configuration. After zvcExit the module
// has no manager, and a callback that finds none behaves as with no configuration installed: time
// steps and keys do nothing, loading hands every line to the host and saving writes the host's
// lines only, so the host's own state is never lost. No exception ever reaches the host: the
// module throws none, and one thrown by a host call ends the callback.

namespace vantor {
namespace {

ConfigurationManager* ManagerFor(VESSEL* vessel) {
  return vessel != nullptr ? Manager() : nullptr;
}

template <typename Body>
void Guarded(Body body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

// Reads the configuration number of a CONFIGURATION line; false for any other line. A line with
// no readable number names 0.
bool ReadConfigurationLine(const char* line, int& number) {
  const char* value = MatchKey(line, KEY_CONFIGURATION);
  if (value == nullptr) return false;
  if (!ReadInteger(value, number)) number = 0;
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

// Lines before the first CONFIGURATION line are the host's. The configuration that line names is
// installed before any of its own lines arrive, so that its Init cannot undo what they set; its
// capabilities are applied once more at the end, now with the values read.
void LoadState(ConfigurationManager* manager, VESSEL* vessel, FILEHANDLE scenario,
               VESSELSTATUS* status) {
  LauncherConfiguration* const initial = manager ? new (std::nothrow) StackConfiguration : nullptr;
  if (manager) manager->SetConfiguration(initial, vessel, 0.0);
  LauncherConfiguration* configuration = initial;
  bool selected = false;
  char* line = nullptr;
  while (zapiReadScenario_nextline(scenario, line)) {
    int number = 0;
    if (manager && !selected && ReadConfigurationLine(line, number)) {
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
  if (manager) manager->SetCurrent(configuration);
}

}  // namespace
}  // namespace vantor

// The callbacks are the boundary and stay global; their bodies are the module's.
using vantor::ConfigurationManager;
using vantor::Guarded;
using vantor::LoadState;
using vantor::Manager;
using vantor::ManagerFor;
using vantor::ReplaceManager;
using vantor::StackConfiguration;

VESSEL* zvcInit(OBJHANDLE hostVessel, int flightModel) {
  VESSEL* vessel = nullptr;
  Guarded([&] {
    ReplaceManager(new (std::nothrow) ConfigurationManager);
    vessel = new (std::nothrow) VESSEL(hostVessel, flightModel);
  });
  return vessel;
}

void zvcExit(VESSEL* vessel) {
  Guarded([&] {
    ReplaceManager(nullptr);
    delete vessel;
  });
}

void zvcSetClassCaps(VESSEL* vessel) {
  Guarded([&] {
    ConfigurationManager* manager = ManagerFor(vessel);
    if (manager == nullptr) return;
    manager->SetConfiguration(new (std::nothrow) StackConfiguration, vessel, 0.0);
  });
}

void zvcTimestep(VESSEL* vessel, double simTime) {
  Guarded([&] {
    ConfigurationManager* manager = ManagerFor(vessel);
    if (manager == nullptr) return;
    manager->Timestep(vessel, simTime);
  });
}

// The host hears 0 whatever the configuration did with the keys.
int zvcConsumeKey(VESSEL* vessel, const char* keystate) {
  Guarded([&] {
    ConfigurationManager* manager = ManagerFor(vessel);
    if (manager == nullptr || keystate == nullptr) return;
    manager->ConsumeKey(vessel, keystate);
  });
  return 0;
}

void zvcLoadState(VESSEL* vessel, FILEHANDLE scenario, VESSELSTATUS* status) {
  Guarded([&] {
    if (vessel == nullptr) return;
    LoadState(Manager(), vessel, scenario, status);
  });
}

void zvcSaveState(VESSEL* vessel, FILEHANDLE scenario) {
  Guarded([&] {
    if (vessel == nullptr) return;
    vessel->SaveDefaultState(scenario);
    if (ConfigurationManager* manager = Manager()) manager->SaveState(vessel, scenario);
  });
}
