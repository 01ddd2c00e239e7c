#pragma once

#include <string>

namespace zenthar::zsim {

/// Where zsim finds what it needs, relative to itself: an installed tree keeps the module in
/// ../lib and the class files and scenarios in ../share/vantor; a build tree has the module
/// beside zsim and uses the source tree's class files.
struct InstallLayout {
  std::string classFolder;   ///< the vessel class files
  std::string moduleFolder;  ///< where lib<name>.so of a class file's module is found
};

InstallLayout FindInstallLayout();

}  // namespace zenthar::zsim
