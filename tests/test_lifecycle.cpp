// The callbacks in every order the host could produce them, the expected ones and the others: time
// steps before any configuration, zvcExit with a null vessel, callbacks after zvcExit, a second
// zvcInit while a launcher lives, loading again and again. Every sequence of five callbacks is
// run against a model of what the module holds: whether it has a manager and which configuration
// is installed, which every save must show. Crashes, leaks and uses of freed objects are the
// sanitizer build's to find.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/core_configuration.h"
#include "config/stack_configuration.h"
#include "host/callbacks.h"
#include "module/configuration_manager.h"
#include "sim/files/host_state_lines.h"
#include "sim/files/scenario_stream.h"
#include "tests/support/host_fixture.h"
#include "vehicle/satellite_payload.h"

using namespace vantor;
using namespace zenthar;

namespace {

enum Callback {
  kInit,
  kExit,      // the newest vessel from zvcInit, or null when there is none
  kExitNull,  // null although a vessel lives
  kSetClassCaps,
  kLoadStack,  // boosters burnt out: they leave at the next time step
  kLoadCore,   // fairing gone, satellite aboard: it leaves at the next J
  kTimestep,
  kKeyE,
  kKeyJ,
  kSave,
  kCallbackCount
};

const char* const CALLBACK_NAMES[] = {"init",      "exit",     "exit(null)", "caps",  "load stack",
                                      "load core", "timestep", "key E",      "key J", "save"};

enum class Installed { kNone, kStack, kCore };

/// What the module should hold.
struct Model {
  bool manager = false;
  Installed installed = Installed::kNone;
};

const std::vector<std::string> STACK_BLOCK = {"CONFIGURATION 0",   "ITIME 130",
                                              "BOOSTER_IGNITED 1", "SAT_JETTISONED 0",
                                              "SAT_NAME Relaysat", "SAT_MASS 950"};
const std::vector<std::string> CORE_BLOCK = {"CONFIGURATION 1", "SAT_JETTISONED 0",
                                             "SAT_NAME Relaysat", "SHROUD 1"};

/// One sequence of callbacks against a fresh host. The host's vessel "L1" has propellant, so that
/// the core stage burns rather than jettisons at once; frames are 2 s long, so that a J is accepted
/// at every press. A callback that comes when no vessel from zvcInit lives gets one that the host
/// made itself for the same host vessel.
class Sequence {
 public:
  Sequence() : savedPayload_(satellitePayload), ownVessel_(Create(world_), 0) {
    state_ = world_.Find("L1");
    state_->fuelMass = 1000.0;
    world_.dt = 2.0;
  }
  ~Sequence() {
    while (!live_.empty()) {
      zvcExit(live_.back());
      live_.pop_back();
    }
    satellitePayload = savedPayload_;
  }
  Sequence(const Sequence&) = delete;
  Sequence& operator=(const Sequence&) = delete;

  /// Runs one callback and moves the model along; false, with the reason, when the module
  /// disagrees with the model.
  bool Run(Callback callback, std::string& why) {
    switch (callback) {
      case kInit: {
        VESSEL* vessel = zvcInit(state_, 0);
        if (vessel == nullptr) return Disagree("zvcInit answered null", why);
        live_.push_back(vessel);
        model_ = {true, Installed::kNone};
        break;
      }
      case kExit:
        zvcExit(live_.empty() ? nullptr : live_.back());
        if (!live_.empty()) live_.pop_back();
        model_ = {};
        break;
      case kExitNull:
        zvcExit(nullptr);
        model_ = {};
        break;
      case kSetClassCaps:
        zvcSetClassCaps(Target());
        if (model_.manager) model_.installed = Installed::kStack;
        break;
      case kLoadStack:
      case kLoadCore:
        Load(callback == kLoadStack ? STACK_BLOCK : CORE_BLOCK);
        if (model_.manager)
          model_.installed = callback == kLoadStack ? Installed::kStack : Installed::kCore;
        break;
      case kTimestep:
        zvcTimestep(Target(), world_.time());
        world_.Step();
        // The full stack may have handed over to the core stage; nothing else changes.
        if (model_.installed == Installed::kStack && Actual() == Installed::kCore)
          model_.installed = Installed::kCore;
        break;
      case kKeyE:
      case kKeyJ:
        if (PressKey(callback == kKeyE ? 0x12 : 0x24) != 0)
          return Disagree("zvcConsumeKey answered other than 0", why);
        break;
      case kSave:
        if (!SaveShowsModel(why)) return false;
        break;
      case kCallbackCount:
        break;
    }
    if ((Manager() != nullptr) != model_.manager)
      return Disagree(model_.manager ? "no manager" : "a manager", why);
    if (Actual() != model_.installed) return Disagree("another configuration", why);
    return true;
  }

  const World& world() const { return world_; }

 private:
  // Ten thousand sequences: the class files are read once.
  static OBJHANDLE Create(World& world) {
    UseProjectFiles(world);
    return AddTestBody(world, "L1", {6371016, 0, 0});
  }

  VESSEL* Target() { return live_.empty() ? &ownVessel_ : live_.back(); }

  Installed Actual() const {
    const ConfigurationManager* manager = Manager();
    if (manager == nullptr || manager->currentConfiguration == nullptr) return Installed::kNone;
    if (dynamic_cast<CoreConfiguration*>(manager->currentConfiguration)) return Installed::kCore;
    return dynamic_cast<StackConfiguration*>(manager->currentConfiguration) ? Installed::kStack
                                                                            : Installed::kNone;
  }

  void Load(const std::vector<std::string>& lines) {
    ScenarioStream block;
    block.lines = lines;
    VESSELSTATUS status = StatusOf(*state_, world_.planet);
    zvcLoadState(Target(), &block, &status);
  }

  int PressKey(int key) {
    unsigned char keys[256] = {};
    keys[key] = 0x80;
    return zvcConsumeKey(Target(), reinterpret_cast<const char*>(keys));
  }

  // The host's lines come first; then the configuration's, which begin with its number.
  bool SaveShowsModel(std::string& why) {
    ScenarioStream saved;
    zvcSaveState(Target(), &saved);
    ScenarioStream hostLines;
    WriteHostState(*state_, world_.planet, world_.time(), hostLines);
    const std::size_t hostCount = hostLines.lines.size();
    if (saved.lines.size() < hostCount ||
        std::vector<std::string>(saved.lines.begin(), saved.lines.begin() + hostCount) !=
            hostLines.lines)
      return Disagree("the host's lines are not saved first", why);
    const std::vector<std::string> module(saved.lines.begin() + hostCount, saved.lines.end());
    switch (model_.installed) {
      case Installed::kNone:
        if (!module.empty()) return Disagree("module lines without a configuration", why);
        break;
      case Installed::kStack:
        if (module.empty() || module[0] != "CONFIGURATION 0")
          return Disagree("no full-stack lines", why);
        break;
      case Installed::kCore:
        if (module.empty() || module[0] != "CONFIGURATION 1")
          return Disagree("no core-stage lines", why);
        break;
    }
    return true;
  }

  static bool Disagree(const std::string& what, std::string& why) {
    why = what;
    return false;
  }

  SatellitePayload savedPayload_;
  World world_;
  VesselState* state_ = nullptr;
  VESSEL ownVessel_;
  std::vector<VESSEL*> live_;
  Model model_;
};

std::string Describe(const std::vector<Callback>& callbacks, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i)
    text += std::string(i ? ", " : "") + CALLBACK_NAMES[callbacks[i]];
  return text;
}

TEST(Lifecycle, EverySequenceOfFiveCallbacksKeepsToTheModel) {
  const int LENGTH = 5;
  int sequences = 0;
  std::vector<Callback> callbacks(LENGTH, kInit);
  for (int code = 0;; ++code) {
    int rest = code;
    for (Callback& callback : callbacks) {
      callback = static_cast<Callback>(rest % kCallbackCount);
      rest /= kCallbackCount;
    }
    if (rest != 0) break;
    ++sequences;
    Sequence sequence;
    for (std::size_t i = 0; i < callbacks.size(); ++i) {
      std::string why;
      if (!sequence.Run(callbacks[i], why)) {
        FAIL() << Describe(callbacks, i + 1) << ": " << why;
      }
    }
  }
  EXPECT_EQ(sequences, 100000);
  EXPECT_EQ(Manager(), nullptr);
}

// A flight carried through the ordinary order, with the unexpected calls mixed in at every stage:
// the model holds throughout, and the bodies that leave become host vessels: the boosters at the
// step after loading, the fairing and the satellite on J. The satellite loaded afterwards leaves
// too, but finds its name taken.
TEST(Lifecycle, AFlightWithOutOfOrderCallsMixedIn) {
  const Callback flight[] = {kTimestep,  kExitNull, kSave,      kInit,     kTimestep, kLoadStack,
                             kLoadStack, kInit,     kLoadStack, kTimestep, kSave,     kKeyJ,
                             kTimestep,  kKeyJ,     kTimestep,  kSave,     kLoadCore, kKeyJ,
                             kTimestep,  kSave,     kExit,      kTimestep, kKeyJ,     kSave,
                             kLoadCore,  kExitNull};
  Sequence sequence;
  std::vector<Callback> done;
  for (Callback callback : flight) {
    done.push_back(callback);
    std::string why;
    ASSERT_TRUE(sequence.Run(callback, why)) << Describe(done, done.size()) << ": " << why;
  }
  EXPECT_EQ(Manager(), nullptr);
  std::vector<std::string> names;
  for (const auto& vessel : sequence.world().vessels()) names.push_back(vessel->name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"L1", "L1-Stage_LeftBooster", "L1-Stage_RightBooster",
                                      "L1-Stage_LeftPayload", "L1-Stage_RightPayload", "L1-Sat"}));
}

// A null vessel, scenario or key state is nothing the module can act on: the callback returns at
// once, the configuration stays installed and the host hears of nothing.
class NullArguments : public HostFixture {};

TEST_F(NullArguments, ChangeNothing) {
  VESSEL* launcher = zvcInit(state, 0);
  ASSERT_NE(launcher, nullptr);
  zvcSetClassCaps(launcher);
  const LauncherConfiguration* installed = Manager()->currentConfiguration;
  ASSERT_NE(installed, nullptr);
  world.journal().Enable(true);
  state->mainThrustMod = 3.0;

  unsigned char keys[256] = {};
  keys[0x12] = 0x80;  // E
  ScenarioStream block;
  block.lines = {"CONFIGURATION 1"};
  ScenarioStream saved;
  VESSELSTATUS status{};
  zvcSetClassCaps(nullptr);
  zvcTimestep(nullptr, 1.0);
  EXPECT_EQ(zvcConsumeKey(nullptr, reinterpret_cast<const char*>(keys)), 0);
  EXPECT_EQ(zvcConsumeKey(launcher, nullptr), 0);
  zvcLoadState(nullptr, &block, &status);
  zvcSaveState(nullptr, &saved);

  EXPECT_EQ(Manager()->currentConfiguration, installed);
  EXPECT_FALSE(installed->igniteRequested);
  EXPECT_EQ(block.next, 0u);
  EXPECT_TRUE(saved.lines.empty());
  EXPECT_EQ(state->mainThrustMod, 3.0);
  EXPECT_TRUE(world.journal().Operations().empty());
  zvcExit(launcher);
}

}  // namespace
