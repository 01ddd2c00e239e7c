// The module's callbacks and its configuration manager, driven against the stand-in host.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/core_configuration.h"
#include "config/stack_configuration.h"
#include "host/callbacks.h"
#include "module/configuration_manager.h"
#include "sim/files/scenario_stream.h"
#include "tests/support/launcher_fixture.h"

using namespace vantor;
using namespace zenthar;

namespace {

// Records each operation in the host's journal, so that its calls and the host calls made
// around them show up in one order.
class ProbeConfiguration : public LauncherConfiguration {
 public:
  explicit ProbeConfiguration(bool* reclaimed = nullptr) : reclaimed_(reclaimed) {}
  ~ProbeConfiguration() override {
    if (reclaimed_ != nullptr) *reclaimed_ = true;
  }

  void Init() override { Note("Init", ""); }
  void SetClassCaps(VESSEL*, double simTime) override { Note("SetClassCaps", simTime); }
  void ParseScenarioLine(VESSEL*, char* line, VESSELSTATUS*) override { Note("Parse", line); }
  void SaveState(VESSEL*, FILEHANDLE) override { Note("SaveState", ""); }
  void Timestep(VESSEL*, double simTime) override { Note("Timestep", simTime); }
  int ConsumeKey(VESSEL*, const char*) override {
    Note("ConsumeKey", "");
    return 1;
  }

 protected:
  void StepThrustUpdate(VESSEL*, double) override {}

 private:
  template <typename T>
  static void Note(const char* operation, const T& argument) {
    World::Current()->Record(nullptr, operation, ::testing::PrintToString(argument));
  }
  bool* reclaimed_;
};

class ModuleSpine : public LauncherFixture {
 protected:
  ~ModuleSpine() override { ReplaceManager(nullptr); }

  std::vector<std::string> Operations() { return world.journal().Operations(); }

  // The module's launcher for `state`, with its class capabilities set.
  VESSEL* Launch() {
    VESSEL* launcher = zvcInit(state, 0);
    zvcSetClassCaps(launcher);
    return launcher;
  }

  // A condensed load sequence: "caps <touchdown z>" for each SetClassCaps of a real configuration,
  // "modifier" for the thrust-modifier reset, "host <line>" for each line the host parses.
  std::vector<std::string> LoadSequence() {
    std::vector<std::string> sequence;
    for (const JournalEntry& entry : world.journal().entries()) {
      if (entry.operation == "SetTouchdownPoints") {
        const std::string& points = entry.arguments;  // "..., (0.7, 0.7, z)"
        const std::size_t z = points.rfind(' ') + 1;
        sequence.push_back("caps " + points.substr(z, points.size() - 1 - z));
      }
      if (entry.operation == "GetMainThrustModPtr") sequence.push_back("modifier");
      if (entry.operation == "ParseScenarioLine") sequence.push_back("host " + entry.arguments);
    }
    return sequence;
  }

  unsigned char keys[256] = {};
  const char* keystate() const { return reinterpret_cast<const char*>(keys); }
};

TEST_F(ModuleSpine, SetConfigurationInitialisesAppliesAndClearsTheModifier) {
  ConfigurationManager manager;
  state->mainThrustMod = 1234.5;
  auto* probe = new ProbeConfiguration;
  manager.SetConfiguration(probe, &vessel, 42.25);
  EXPECT_EQ(manager.currentConfiguration, probe);
  EXPECT_EQ(Operations(),
            (std::vector<std::string>{"Init", "SetClassCaps", "GetMainThrustModPtr"}));
  EXPECT_EQ(world.journal().entries()[1].arguments, "42.25");
  EXPECT_EQ(state->mainThrustMod, 0.0);
}

TEST_F(ModuleSpine, NullAndSetCurrentCallNothing) {
  ConfigurationManager manager;
  manager.SetConfiguration(new ProbeConfiguration, &vessel, 0.0);
  world.journal().Clear();
  state->mainThrustMod = 77.0;

  auto* probe = new ProbeConfiguration;
  manager.SetCurrent(probe);
  EXPECT_EQ(manager.currentConfiguration, probe);
  manager.SetConfiguration(nullptr, &vessel, 0.0);
  EXPECT_EQ(manager.currentConfiguration, nullptr);
  EXPECT_TRUE(Operations().empty());
  EXPECT_EQ(state->mainThrustMod, 77.0);
}

TEST_F(ModuleSpine, ReplacedConfigurationsAreReclaimedButNeverTheOneInstalled) {
  bool firstReclaimed = false;
  bool secondReclaimed = false;
  auto* second = new ProbeConfiguration(&secondReclaimed);
  {
    ConfigurationManager manager;
    manager.SetConfiguration(new ProbeConfiguration(&firstReclaimed), &vessel, 0.0);
    manager.SetConfiguration(second, &vessel, 0.0);
    EXPECT_TRUE(firstReclaimed);
    manager.SetConfiguration(second, &vessel, 0.0);
    manager.SetCurrent(second);
    EXPECT_FALSE(secondReclaimed);
    EXPECT_EQ(Operations().back(), "GetMainThrustModPtr");  // second still answers
  }
  EXPECT_TRUE(secondReclaimed);
}

TEST_F(ModuleSpine, ManagerForwardsToTheCurrentConfiguration) {
  ConfigurationManager manager;
  keys[0x24] = 0x80;
  EXPECT_EQ(manager.ConsumeKey(&vessel, keystate()), 0);
  manager.Timestep(&vessel, 1.0);
  manager.SaveState(&vessel, nullptr);
  EXPECT_TRUE(Operations().empty());

  manager.SetCurrent(new ProbeConfiguration);
  EXPECT_EQ(manager.ConsumeKey(&vessel, keystate()), 1);
  manager.Timestep(&vessel, 2.5);
  manager.SaveState(&vessel, nullptr);
  EXPECT_EQ(Operations(), (std::vector<std::string>{"ConsumeKey", "Timestep", "SaveState"}));
  EXPECT_EQ(world.journal().entries()[1].arguments, "2.5");
}

TEST_F(ModuleSpine, SetClassCapsInstallsAStackConfigurationOnce) {
  VESSEL* launcher = zvcInit(state, 0);
  ASSERT_NE(launcher, nullptr);
  ASSERT_NE(Manager(), nullptr);
  EXPECT_EQ(Manager()->currentConfiguration, nullptr);
  state->mainThrustMod = 5.0;
  zvcSetClassCaps(launcher);
  EXPECT_NE(dynamic_cast<StackConfiguration*>(Manager()->currentConfiguration), nullptr);
  EXPECT_EQ(LoadSequence(), (std::vector<std::string>{"caps -16", "modifier"}));
  EXPECT_EQ(state->mainThrustMod, 0.0);
  zvcExit(launcher);
  EXPECT_EQ(Manager(), nullptr);
}

TEST_F(ModuleSpine, CallbacksWithoutAConfigurationChangeNothing) {
  VESSEL* launcher = zvcInit(state, 0);
  ASSERT_NE(launcher, nullptr);
  world.journal().Clear();
  state->mainThrustMod = 5.0;
  keys[0x12] = 0x80;

  zvcTimestep(launcher, 1.0);
  EXPECT_EQ(zvcConsumeKey(launcher, keystate()), 0);
  EXPECT_EQ(state->mainThrustMod, 5.0);
  EXPECT_TRUE(Operations().empty());  // not even a key acceptance

  ScenarioStream saved;
  zvcSaveState(launcher, &saved);
  EXPECT_EQ(Operations(), (std::vector<std::string>{"SaveDefaultState"}));
  ASSERT_FALSE(saved.lines.empty());
  for (const std::string& line : saved.lines)
    EXPECT_EQ(line.find("CONFIGURATION"), std::string::npos);
  zvcExit(launcher);
}

TEST_F(ModuleSpine, ConsumeKeyAnswersZeroEvenWhenTheConfigurationTookTheKey) {
  VESSEL* launcher = Launch();
  keys[0x12] = 0x80;
  EXPECT_EQ(zvcConsumeKey(launcher, keystate()), 0);
  EXPECT_TRUE(Manager()->currentConfiguration->igniteRequested);
  zvcExit(launcher);
}

TEST_F(ModuleSpine, SaveStateWritesTheHostLinesFirst) {
  VESSEL* launcher = Launch();
  ScenarioStream hostLines;
  vessel.SaveDefaultState(&hostLines);
  const std::size_t hostCount = hostLines.lines.size();
  ScenarioStream saved;
  zvcSaveState(launcher, &saved);
  ASSERT_GT(saved.lines.size(), hostCount);
  EXPECT_EQ(std::vector<std::string>(saved.lines.begin(), saved.lines.begin() + hostCount),
            hostLines.lines);
  EXPECT_EQ(saved.lines[hostCount], "CONFIGURATION 0");

  Manager()->SetConfiguration(new CoreConfiguration, launcher, 0.0);
  saved.lines.clear();
  zvcSaveState(launcher, &saved);
  ASSERT_GT(saved.lines.size(), hostCount);
  EXPECT_EQ(saved.lines[hostCount], "CONFIGURATION 1");
  zvcExit(launcher);
}

// After zvcExit the module has no manager; callbacks with a live VESSEL behave as with no
// configuration: nothing flies, but the host's own lines still go to and come from the host.
TEST_F(ModuleSpine, CallbacksAfterExitBehaveAsWithNoConfiguration) {
  VESSEL* launcher = Launch();
  zvcExit(launcher);
  EXPECT_EQ(Manager(), nullptr);
  world.journal().Clear();

  keys[0x24] = 0x80;
  ScenarioStream stream;
  stream.lines = {"CONFIGURATION 1"};
  VESSELSTATUS status{};
  zvcSetClassCaps(&vessel);
  zvcTimestep(&vessel, 1.0);
  EXPECT_EQ(zvcConsumeKey(&vessel, keystate()), 0);
  EXPECT_TRUE(Operations().empty());
  zvcLoadState(&vessel, &stream, &status);
  EXPECT_EQ(LoadSequence(), (std::vector<std::string>{"host \"CONFIGURATION 1\""}));
  ScenarioStream saved;
  zvcSaveState(&vessel, &saved);
  ScenarioStream hostLines;
  vessel.SaveDefaultState(&hostLines);
  EXPECT_EQ(saved.lines, hostLines.lines);
  EXPECT_EQ(Manager(), nullptr);
  zvcExit(nullptr);
}

TEST_F(ModuleSpine, SecondInitStartsAFreshManager) {
  VESSEL* first = Launch();
  ConfigurationManager* firstManager = Manager();
  VESSEL* second = zvcInit(state, 0);
  ASSERT_NE(Manager(), nullptr);
  EXPECT_NE(Manager(), firstManager);
  EXPECT_EQ(Manager()->currentConfiguration, nullptr);
  zvcExit(second);
  delete first;
}

// The satellite record belongs to the loaded module, not to a launcher: the next launcher, whose
// block names no satellite, carries the one that the launcher before it read.
TEST_F(ModuleSpine, TheNextLauncherCarriesTheSatelliteOfTheOneBefore) {
  const std::vector<std::string> blocks[] = {
      {"CONFIGURATION 0", "SAT_JETTISONED 0", "SAT_MESH relaysat", "SAT_MASS 950"},
      {"CONFIGURATION 0"}};
  for (const std::vector<std::string>& lines : blocks) {
    VESSEL* launcher = zvcInit(state, 0);
    ScenarioStream block;
    block.lines = lines;
    VESSELSTATUS status{};
    zvcLoadState(launcher, &block, &status);
    EXPECT_EQ(state->emptyMass, 726800.0 + 950.0) << lines.size();
    EXPECT_EQ(state->meshes.back().name, "relaysat") << lines.size();
    zvcExit(launcher);
  }
}

TEST_F(ModuleSpine, ExitWithoutAVesselReclaimsTheManager) {
  VESSEL* launcher = Launch();
  zvcExit(nullptr);
  EXPECT_EQ(Manager(), nullptr);
  delete launcher;
}

TEST_F(ModuleSpine, LoadStateInstallsTheConfigurationThatTheBlockNames) {
  struct Case {
    std::vector<std::string> lines;
    bool core;  // the configuration installed at the end
    std::vector<std::string> sequence;
  };
  // Every load first installs the full stack ("caps -16", "modifier"), then reads the block.
  const Case cases[] = {
      {{"RPOS 1 2 3", "ITIME 5"}, false, {"host \"RPOS 1 2 3\"", "host \"ITIME 5\"", "caps -16"}},
      {{"RPOS 1 2 3", "CONFIGURATION 0", "ITIME 5"},
       false,
       {"host \"RPOS 1 2 3\"", "caps -16", "modifier", "caps -16"}},
      {{"CONFIGURATION 1", "SHROUD 1", "CONFIGURATION 0"},
       true,
       {"caps -15", "modifier", "host \"CONFIGURATION 0\"", "caps -15"}},
      // Each configuration's keys are its own: the other's go to the host.
      {{"CONFIGURATION 0", "SHROUD 1"},
       false,
       {"caps -16", "modifier", "host \"SHROUD 1\"", "caps -16"}},
      {{"CONFIGURATION 1", "ITIME 5", "BOOSTER_IGNITED 1"},
       true,
       {"caps -15", "modifier", "host \"ITIME 5\"", "host \"BOOSTER_IGNITED 1\"", "caps -15"}},
      {{"configuration 1"}, true, {"caps -15", "modifier", "caps -15"}},
      {{"Configuration1"}, true, {"caps -15", "modifier", "caps -15"}},
      {{"CONFIGURATION 2", "CONFIGURATION 1"},
       false,
       {"caps -16", "modifier", "host \"CONFIGURATION 1\"", "caps -16"}},
      {{"CONFIGURATION -1"}, false, {"caps -16", "modifier", "caps -16"}},
      {{"CONFIGURATION x1"}, false, {"caps -16", "modifier", "caps -16"}},
      {{"CONFIGURATION"}, false, {"caps -16", "modifier", "caps -16"}},
      {{"CONFIGURATIO 1"}, false, {"host \"CONFIGURATIO 1\"", "caps -16"}},
  };
  for (const Case& c : cases) {
    const std::string label = ::testing::PrintToString(c.lines);
    VESSEL* launcher = zvcInit(state, 0);
    world.journal().Clear();
    ScenarioStream block;
    block.lines = c.lines;
    VESSELSTATUS status{};
    state->mainThrustMod = 9.0;
    zvcLoadState(launcher, &block, &status);
    std::vector<std::string> sequence = {"caps -16", "modifier"};
    sequence.insert(sequence.end(), c.sequence.begin(), c.sequence.end());
    EXPECT_EQ(LoadSequence(), sequence) << label;
    EXPECT_EQ(state->mainThrustMod, 0.0) << label;
    LauncherConfiguration* installed = Manager()->currentConfiguration;
    EXPECT_EQ(dynamic_cast<CoreConfiguration*>(installed) != nullptr, c.core) << label;
    EXPECT_EQ(dynamic_cast<StackConfiguration*>(installed) != nullptr, !c.core) << label;
    zvcExit(launcher);
  }
}

}  // namespace
