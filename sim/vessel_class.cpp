#include "sim/vessel_class.h"

#include <dirent.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "sim/text.h"

namespace {

bool ReadNumber(const std::string& text, double& value) {
  char* end = nullptr;
  const double read = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !std::isfinite(read)) return false;
  value = read;
  return true;
}

/// One class file: "Key = value" lines, '#' starts a comment. Keys: Module, Mass, Size, CW,
/// TouchdownHeight.
bool ReadClassFile(const std::string& path, VesselClass& vesselClass, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = path + ": cannot be read";
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    line = Trim(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const auto equals = line.find('=');
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (equals == std::string::npos) {
      error = where + "expected 'Key = value'";
      return false;
    }
    const std::string key = Trim(line.substr(0, equals));
    const std::string value = Trim(line.substr(equals + 1));
    bool ok = true;
    if (key == "Module")
      vesselClass.module = value;
    else if (key == "Mass")
      ok = ReadNumber(value, vesselClass.mass);
    else if (key == "Size")
      ok = ReadNumber(value, vesselClass.size);
    else if (key == "CW")
      ok = ReadNumber(value, vesselClass.cw);
    else if (key == "TouchdownHeight")
      ok = ReadNumber(value, vesselClass.touchdownHeight);
    else {
      error = where + "unknown key '" + key + "'";
      return false;
    }
    if (!ok) {
      error = where + "'" + value + "' is not a number";
      return false;
    }
  }
  return true;
}

}  // namespace

bool ClassRegistry::LoadFolder(const std::string& dir, std::string& error) {
  DIR* folder = opendir(dir.c_str());
  if (!folder) {
    error = "class folder " + dir + " cannot be read";
    return false;
  }
  folder_ = dir;
  bool ok = true;
  while (const dirent* entry = readdir(folder)) {
    const std::string file = entry->d_name;
    const std::string suffix = ".cfg";
    if (file.size() <= suffix.size() || file.compare(file.size() - 4, 4, suffix) != 0) continue;
    VesselClass vesselClass;
    vesselClass.name = file.substr(0, file.size() - suffix.size());
    if (!ReadClassFile(dir + "/" + file, vesselClass, error)) {
      ok = false;
      break;
    }
    Add(vesselClass);
  }
  closedir(folder);
  return ok;
}

const VesselClass* ClassRegistry::Find(const std::string& name) const {
  const auto found = classes_.find(name);
  return found == classes_.end() ? nullptr : &found->second;
}
