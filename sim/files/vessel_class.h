#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/vector3.h"

namespace zenthar {

/// What a passive body is to the launcher that releases it, as its class file says ("Role =
/// booster"): what the host's timeline calls its leaving.
enum class VesselRole { kNone, kBooster, kFairing };

/// The cross-sections (m^2, along the vessel's x, y and z axes) that one mesh adds to a vessel
/// carrying it.
struct MeshCrossSections {
  std::string mesh;
  VECTOR3 areas;
};

/// A vessel class as its class file describes it: a module that flies it, or a passive body.
struct VesselClass {
  std::string name;
  std::string module;          ///< module library name ("vantor") or path; empty for a passive body
  double mass = 0;             ///< kg, empty mass of a passive body
  double size = 1;             ///< m, mean radius
  double cw = 0.5;             ///< drag coefficient of a passive body along every axis
  double touchdownHeight = 0;  ///< m, below the vessel's origin: where it stands on the ground
  VesselRole role = VesselRole::kNone;
  bool hasCrossSections = false;   ///< the file gives the body's own cross-sections
  VECTOR3 crossSections{0, 0, 0};  ///< m^2, the body's, along its x, y and z axes
  std::vector<MeshCrossSections> meshCrossSections{};  ///< per mesh a vessel of the class may carry

  /// Whether drag areas come from the file (the body's and its meshes') rather than pi size^2.
  bool GivesCrossSections() const { return hasCrossSections || !meshCrossSections.empty(); }
  /// The cross-sections a mesh of that name adds, or null when the file gives it none.
  const VECTOR3* MeshAreas(const char* mesh) const;
};

/// The known classes, read from the class files "<Name>.cfg" of one folder.
class ClassRegistry {
 public:
  /// Reads every class file in dir. False, with the reason, when a file cannot be read.
  bool LoadFolder(const std::string& dir, std::string& error);
  void Add(const VesselClass& vesselClass) { classes_[vesselClass.name] = vesselClass; }
  /// Every class that names a module names this one (a name or a path) instead.
  void UseModule(const std::string& module);
  const VesselClass* Find(const std::string& name) const;
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::map<std::string, VesselClass> classes_;
};

}  // namespace zenthar
