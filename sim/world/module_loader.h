#pragma once

#include <memory>
#include <string>

#include "host/callbacks.h"

namespace zenthar {

/// The seven callbacks of a vessel module, typed as host/callbacks.h declares them.
struct ModuleCallbacks {
  decltype(&zvcInit) init;
  decltype(&zvcExit) exit;
  decltype(&zvcSetClassCaps) setClassCaps;
  decltype(&zvcTimestep) timestep;
  decltype(&zvcConsumeKey) consumeKey;
  decltype(&zvcLoadState) loadState;
  decltype(&zvcSaveState) saveState;
};

/// A vessel module loaded with dlopen; unloaded when destroyed.
class LoadedModule {
 public:
  /// Loads the shared library at path and resolves every callback. On failure returns null and
  /// says why in error (a library that does not load, or the first callback it lacks).
  static std::unique_ptr<LoadedModule> Load(const std::string& path, std::string& error);
  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  const ModuleCallbacks& callbacks() const { return callbacks_; }
  const std::string& path() const { return path_; }

 private:
  LoadedModule(void* library, std::string path) : library_(library), path_(std::move(path)) {}
  void* library_;
  std::string path_;
  ModuleCallbacks callbacks_{};
};

}  // namespace zenthar
