#pragma once

#include "config/launcher_configuration.h"
#include "host/handles.h"
#include "host/vessel.h"

namespace vantor {

/// Holds the launcher's current flight configuration and forwards the host's callbacks to it.
/// The manager reclaims every configuration it holds once that configuration has been replaced,
/// and the current one when the manager itself goes.
class ConfigurationManager {
 public:
  ConfigurationManager() = default;
  ~ConfigurationManager();
  ConfigurationManager(const ConfigurationManager&) = delete;
  ConfigurationManager& operator=(const ConfigurationManager&) = delete;

  void SaveState(VESSEL* vessel, FILEHANDLE scenario);
  void Timestep(VESSEL* vessel, double simTime);
  /// The configuration's answer; 0 without a configuration.
  int ConsumeKey(VESSEL* vessel, const char* keystate);

  /// Installs configuration (null: none) and, unless null, initialises it, applies its
  /// capabilities and clears the main-thrust modifier. The replaced configuration is reclaimed
  /// before the new one is initialised, unless it is the one being installed.
  void SetConfiguration(LauncherConfiguration* configuration, VESSEL* vessel, double simTime);
  /// Installs configuration without calling anything on it; a different one that it replaces is
  /// reclaimed.
  void SetCurrent(LauncherConfiguration* configuration);

  LauncherConfiguration* currentConfiguration = nullptr;  ///< null: none installed

 private:
  void Replace(LauncherConfiguration* configuration);
};

/// The module's manager; null before zvcInit and after zvcExit.
ConfigurationManager* Manager();

/// Makes manager (may be null) the module's manager and reclaims the one it replaces, together
/// with that manager's configuration.
void ReplaceManager(ConfigurationManager* manager);

}  // namespace vantor
