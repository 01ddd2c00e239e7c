#include "module/configuration_manager.h"

namespace vantor {

namespace {

ConfigurationManager* moduleManager = nullptr;

}  // namespace

ConfigurationManager* Manager() {
  return moduleManager;
}

void ReplaceManager(ConfigurationManager* manager) {
  ConfigurationManager* const replaced = moduleManager;
  moduleManager = manager;
  if (replaced != manager) delete replaced;
}

ConfigurationManager::~ConfigurationManager() {
  delete currentConfiguration;
}

void ConfigurationManager::SaveState(VESSEL* vessel, FILEHANDLE scenario) {
  if (currentConfiguration != nullptr) currentConfiguration->SaveState(vessel, scenario);
}

// The configuration's Timestep may install its successor through SetConfiguration, which
// reclaims it; nothing here touches it after the call.
void ConfigurationManager::Timestep(VESSEL* vessel, double simTime) {
  if (currentConfiguration != nullptr) currentConfiguration->Timestep(vessel, simTime);
}

int ConfigurationManager::ConsumeKey(VESSEL* vessel, const char* keystate) {
  if (currentConfiguration == nullptr) return 0;
  return currentConfiguration->ConsumeKey(vessel, keystate);
}

void ConfigurationManager::SetConfiguration(LauncherConfiguration* configuration, VESSEL* vessel,
                                            double simTime) {
  Replace(configuration);
  if (configuration == nullptr) return;
  configuration->Init();
  configuration->SetClassCaps(vessel, simTime);
  *vessel->GetMainThrustModPtr() = 0.0;
}

void ConfigurationManager::SetCurrent(LauncherConfiguration* configuration) {
  Replace(configuration);
}

// A configuration installed again (a scenario that names neither configuration keeps the one it
// started with) must survive its own replacement.
void ConfigurationManager::Replace(LauncherConfiguration* configuration) {
  LauncherConfiguration* const replaced = currentConfiguration;
  currentConfiguration = configuration;
  if (replaced != configuration) delete replaced;
}

}  // namespace vantor
