#include "sim/world/module_loader.h"

#include <dlfcn.h>

namespace zenthar {

namespace {

template <typename Function>
bool Resolve(void* library, const char* name, Function& function, std::string& error) {
  void* symbol = dlsym(library, name);
  if (!symbol) {
    error = std::string("the module lacks the callback ") + name;
    return false;
  }
  function = reinterpret_cast<Function>(symbol);
  return true;
}

}  // namespace

std::unique_ptr<LoadedModule> LoadedModule::Load(const std::string& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* reason = dlerror();
    error = "module " + path + " does not load: " + (reason ? reason : "unknown reason");
    return nullptr;
  }
  std::unique_ptr<LoadedModule> module(new LoadedModule(library, path));
  ModuleCallbacks& c = module->callbacks_;
  std::string missing;
  const bool complete = Resolve(library, "zvcInit", c.init, missing) &&
                        Resolve(library, "zvcExit", c.exit, missing) &&
                        Resolve(library, "zvcSetClassCaps", c.setClassCaps, missing) &&
                        Resolve(library, "zvcTimestep", c.timestep, missing) &&
                        Resolve(library, "zvcConsumeKey", c.consumeKey, missing) &&
                        Resolve(library, "zvcLoadState", c.loadState, missing) &&
                        Resolve(library, "zvcSaveState", c.saveState, missing);
  if (!complete) {
    error = "module " + path + ": " + missing;
    return nullptr;
  }
  return module;
}

LoadedModule::~LoadedModule() {
  dlclose(library_);
}

}  // namespace zenthar
