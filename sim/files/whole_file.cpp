#include "sim/files/whole_file.h"

#include <cstdio>
#include <fstream>

namespace zenthar {

bool ReplaceFile(const std::string& path, const std::string& text, std::string& error) {
  const std::string temporary = path + ".part";
  {
    std::ofstream file(temporary, std::ios::trunc);
    if (!(file << text) || !file.flush()) {
      std::remove(temporary.c_str());
      error = path + ": cannot be written";
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  error = path + ": cannot be written";
  return false;
}

}  // namespace zenthar
