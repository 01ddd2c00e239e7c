#include "sim/zsim/install_layout.h"

#include <unistd.h>

namespace zenthar::zsim {

namespace {

std::string ExecutableFolder() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  path[length] = '\0';
  const std::string file(path);
  return file.substr(0, file.rfind('/'));
}

bool Readable(const std::string& path) {
  return access(path.c_str(), R_OK) == 0;
}

}  // namespace

InstallLayout FindInstallLayout() {
  const std::string folder = ExecutableFolder();
  InstallLayout layout;
  const std::string installedClasses = folder + "/../share/vantor/classes";
  layout.classFolder = Readable(installedClasses) ? installedClasses : ZSIM_SOURCE_CLASSES;
  layout.moduleFolder = Readable(folder + "/libvantor.so") ? folder : folder + "/../lib";
  return layout;
}

}  // namespace zenthar::zsim
