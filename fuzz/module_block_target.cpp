// One launcher's scenario block through the module's callbacks. The module's objects are linked
// into the program and driven directly with a VESSEL bound to a passive host vessel, so that its
// module-wide state can be put back to what a freshly loaded module holds before every input.

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/fuzz_host.h"
#include "fuzz/fuzz_targets.h"
#include "host/callbacks.h"
#include "module/configuration_manager.h"
#include "sim/files/host_state_lines.h"
#include "sim/files/scenario_stream.h"
#include "sim/physics/launch_pad.h"
#include "vehicle/satellite_payload.h"

using namespace vantor;
using namespace zenthar;

namespace {

// What the satellite record holds when the module is loaded.
const SatellitePayload SATELLITE_AT_LOAD = satellitePayload;

const double FRAME = 0.5;  // s, long enough that the host accepts J again every other step
const int STEPS = 10;
const int KEY_IGNITE = 0x12;    // E
const int KEY_JETTISON = 0x24;  // J

/// The key held down in a step, or -1: E first, then J for each body once the ignition's steps
/// have passed.
int KeyInStep(int step) {
  if (step == 0) return KEY_IGNITE;
  if (step == 4 || step == 6 || step == 8) return KEY_JETTISON;
  return -1;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

/// The launcher as the host sees it: a host vessel and the module's VESSEL for it.
class Launcher {
 public:
  explicit Launcher(const std::string& input) : input_(input) {
    UseProjectFiles(world_, false);
    world_.dt = FRAME;
    VESSELSTATUS status{};
    status.position = {world_.planet.radius + 100, 0, 0};
    std::string error;
    host_ = world_.CreateVessel("Vantor1", kTestBodyClass, status, error);
    if (host_ == nullptr) FuzzFail("no host vessel: " + error, input_);
    Init();
  }
  ~Launcher() {
    zvcExit(vessel_);
    if (Manager() != nullptr) FuzzFail("zvcExit left a manager", input_);
  }
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  /// Reads a block as the host does: its lines go to zvcLoadState with a status that starts full,
  /// and the status that the host's lines leave is put into effect.
  void Load(const std::vector<std::string>& lines) {
    ScenarioStream block;
    block.lines = lines;
    VESSELSTATUS status = StatusOf(*host_, world_.planet);
    status.fuelLevel = 1.0;
    zvcLoadState(vessel_, &block, &status);
    ApplyStatus(*host_, status);
    if (host_->padRequested) {
      PlaceOnPad(*host_, world_.planet, host_->padLatitude, host_->padLongitude, world_.time());
      host_->padRequested = false;
    }
  }

  /// A save, read back by a module that starts afresh, must save the same module lines again.
  void SaveAndReadBack() {
    const std::vector<std::string> saved = Save();
    zvcExit(vessel_);
    Init();
    Load(saved);
    const std::vector<std::string> again = Save();
    if (ModuleLines(again) != ModuleLines(saved))
      FuzzFail(
          "saved lines do not read back:\n" + Joined(saved) + "saved again as\n" + Joined(again),
          input_);
  }

  void Fly() {
    unsigned char keys[256];
    for (int step = 0; step < STEPS; ++step) {
      for (unsigned char& key : keys) key = 0;
      if (KeyInStep(step) >= 0) keys[KeyInStep(step)] = 0x80;
      if (zvcConsumeKey(vessel_, reinterpret_cast<const char*>(keys)) != 0)
        FuzzFail("zvcConsumeKey answered other than 0", input_);
      zvcTimestep(vessel_, world_.time());
      world_.Step();
    }
  }

 private:
  void Init() {
    vessel_ = zvcInit(host_, 0);
    if (vessel_ == nullptr) FuzzFail("zvcInit answered null", input_);
  }

  /// The host's lines come first, exactly as the host writes them on its own.
  std::vector<std::string> Save() {
    ScenarioStream saved;
    zvcSaveState(vessel_, &saved);
    ScenarioStream hostLines;
    WriteHostState(*host_, world_.planet, world_.time(), hostLines);
    if (saved.lines.size() < hostLines.lines.size() ||
        !std::equal(hostLines.lines.begin(), hostLines.lines.end(), saved.lines.begin()))
      FuzzFail("the host's lines are not saved first:\n" + Joined(saved.lines), input_);
    return saved.lines;
  }

  const std::string& input_;
  World world_;
  VesselState* host_ = nullptr;
  VESSEL* vessel_ = nullptr;
};

}  // namespace

int FuzzModuleBlock(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  satellitePayload = SATELLITE_AT_LOAD;
  Launcher launcher(input);
  launcher.Load(SplitLines(input));
  launcher.SaveAndReadBack();
  launcher.Fly();
  launcher.SaveAndReadBack();
  return 0;
}
