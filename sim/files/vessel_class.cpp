#include "sim/files/vessel_class.h"

#include <dirent.h>

#include <fstream>

#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"
#include "sim/world/host_limits.h"

namespace zenthar {

namespace {

bool ReadRole(FieldReader& fields, VesselRole& role) {
  std::string word;
  if (!fields.Word("booster or fairing", word) || !fields.End()) return false;
  if (word == "booster")
    role = VesselRole::kBooster;
  else if (word == "fairing")
    role = VesselRole::kFairing;
  else
    return fields.Fail("expected booster or fairing, found '" + word + "'");
  return true;
}

bool ReadAreas(FieldReader& fields, VECTOR3& areas) {
  return fields.Number(kCrossSection, areas.x) && fields.Number(kCrossSection, areas.y) &&
         fields.Number(kCrossSection, areas.z) && fields.End();
}

/// "mesh ax ay az": a mesh named once per file.
bool ReadMeshAreas(FieldReader& fields, VesselClass& vesselClass) {
  MeshCrossSections entry;
  if (!fields.Word("a mesh name", entry.mesh) || !ReadAreas(fields, entry.areas)) return false;
  if (vesselClass.MeshAreas(entry.mesh.c_str()))
    return fields.Fail("mesh '" + entry.mesh + "' given twice");
  vesselClass.meshCrossSections.push_back(entry);
  return true;
}

/// One "Key = value" line of a class file into the class. False with "Key: expected ..." or
/// "unknown key" otherwise.
bool ReadClassLine(const std::string& key, const std::string& value, VesselClass& vesselClass,
                   std::string& error) {
  struct {
    const char* key;
    double& value;
    const ValueRange& range;
  } const numbers[] = {{"Mass", vesselClass.mass, kMass},
                       {"Size", vesselClass.size, kSize},
                       {"CW", vesselClass.cw, kDragCoefficient},
                       {"TouchdownHeight", vesselClass.touchdownHeight, kTouchdownHeight}};
  FieldReader fields(key, value);
  bool read = false;
  if (key == "Module")
    read = fields.Word("a module name or path", vesselClass.module) && fields.End();
  else if (key == "Role")
    read = ReadRole(fields, vesselClass.role);
  else if (key == "CrossSections")
    read = vesselClass.hasCrossSections = ReadAreas(fields, vesselClass.crossSections);
  else if (key == "MeshCrossSections")
    read = ReadMeshAreas(fields, vesselClass);
  else
    for (const auto& number : numbers)
      if (key == number.key) read = fields.Number(number.range, number.value) && fields.End();
  if (read) return true;
  error = fields.error().empty() ? "unknown key '" + key + "'" : fields.error();
  return false;
}

/// One class file: "Key = value" lines, '#' starts a comment. Keys: Module, Mass, Size, CW,
/// TouchdownHeight, Role, CrossSections, MeshCrossSections.
bool ReadClassFile(const std::string& path, VesselClass& vesselClass, std::string& error) {
  std::ifstream file(path);
  if (!file) {
    error = path + ": cannot be read";
    return false;
  }
  TextReader text(file, path);
  std::string raw;
  while (text.Next(raw)) {
    const std::string line = StripComment(raw);
    if (line.empty()) continue;
    const auto equals = line.find('=');
    std::string why;
    if (equals == std::string::npos)
      why = "expected 'Key = value'";
    else if (ReadClassLine(Trim(line.substr(0, equals)), line.substr(equals + 1), vesselClass, why))
      continue;
    error = text.At(why);
    return false;
  }
  error = text.error();
  return error.empty();
}

}  // namespace

const VECTOR3* VesselClass::MeshAreas(const char* mesh) const {
  for (const MeshCrossSections& entry : meshCrossSections)
    if (entry.mesh == mesh) return &entry.areas;
  return nullptr;
}

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

void ClassRegistry::UseModule(const std::string& module) {
  for (auto& named : classes_)
    if (!named.second.module.empty()) named.second.module = module;
}

const VesselClass* ClassRegistry::Find(const std::string& name) const {
  const auto found = classes_.find(name);
  return found == classes_.end() ? nullptr : &found->second;
}

}  // namespace zenthar
