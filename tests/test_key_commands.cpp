// The E and J key commands: which key states become requests, and when a time step acts on them.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "config/core_configuration.h"
#include "config/stack_configuration.h"
#include "sim/world/world.h"
#include "tests/support/launcher_fixture.h"

using namespace vantor;
using namespace zenthar;

namespace {

const int LSHIFT = 0x2A, RSHIFT = 0x36, LCONTROL = 0x1D, RCONTROL = 0x9D, LALT = 0x38, RALT = 0xB8;
const int J = 0x24, E = 0x12, A = 0x1E;

struct KeyState {
  explicit KeyState(std::initializer_list<int> keys, unsigned char byte = 0x80) {
    for (int key : keys) bytes[key] = byte;
  }
  const char* get() const { return reinterpret_cast<const char*>(bytes); }
  unsigned char bytes[256] = {};
};

TEST(KeyCommands, ConsumeKeyTurnsKeysIntoRequests) {
  struct Case {
    const char* what;
    std::initializer_list<int> keys;
    int result;
    bool jettison, ignite;
    std::vector<std::string> accepted;  // host acceptance calls: "key, interval"
    unsigned char byte = 0x80;          // of each key in keys
  };
  const Case cases[] = {
      {"nothing", {}, 0, false, false, {}},
      {"another key", {A}, 0, false, false, {}},
      {"J and E with every bit but bit 7", {J, E}, 0, false, false, {}, 0x7F},
      {"J", {J}, 1, true, false, {"36, 1"}},
      {"E", {E}, 1, false, true, {"18, 1"}},
      {"J and E", {J, E}, 1, true, false, {"36, 1"}},
      {"left Alt+J", {LALT, J}, 1, true, false, {"36, 1"}},
      {"right Alt+E", {RALT, E}, 1, false, true, {"18, 1"}},
      {"left Shift+J", {LSHIFT, J}, 0, false, false, {}},
      {"right Shift+J", {RSHIFT, J}, 0, false, false, {}},
      {"left Control+E", {LCONTROL, E}, 0, false, false, {}},
      {"right Control+E", {RCONTROL, E}, 0, false, false, {}},
      {"right Shift+E", {RSHIFT, E}, 0, false, false, {}},
      {"left Control+J", {LCONTROL, J}, 0, false, false, {}},
      {"right Control+J and E", {RCONTROL, J, E}, 0, false, false, {}},
  };
  for (const Case& c : cases) {
    for (int kind = 0; kind < 2; ++kind) {
      World world;  // a fresh host: no key accepted yet
      world.journal().Enable(true);
      std::unique_ptr<LauncherConfiguration> configuration;
      if (kind == 0)
        configuration = std::make_unique<StackConfiguration>();
      else
        configuration = std::make_unique<CoreConfiguration>();
      configuration->Init();
      const KeyState keys(c.keys, c.byte);
      EXPECT_EQ(configuration->ConsumeKey(nullptr, keys.get()), c.result) << c.what;
      EXPECT_EQ(configuration->jettisonRequested, c.jettison) << c.what;
      EXPECT_EQ(configuration->igniteRequested, c.ignite) << c.what;
      EXPECT_FALSE(configuration->skipNextStep) << c.what;
      EXPECT_EQ(ArgumentsOf(world.journal(), "zapiAcceptDelayedKey"), c.accepted) << c.what;
    }
  }
}

TEST(KeyCommands, AKeyTheHostHoldsBackSetsNothingButCounts) {
  World world;
  ASSERT_TRUE(world.AcceptDelayedKey(J, 1.0));
  ASSERT_TRUE(world.AcceptDelayedKey(E, 1.0));
  StackConfiguration stack;
  stack.Init();
  EXPECT_EQ(stack.ConsumeKey(nullptr, KeyState{J}.get()), 1);
  EXPECT_EQ(stack.ConsumeKey(nullptr, KeyState{E}.get()), 1);
  EXPECT_FALSE(stack.jettisonRequested);
  EXPECT_FALSE(stack.igniteRequested);
}

// Keeps a log of its steps: the thrust update and whether its own logic ran and took a J.
class ProbeConfiguration : public LauncherConfiguration {
 public:
  void Init() override { InitCommon(); }
  void SetClassCaps(VESSEL*, double) override {}
  void ParseScenarioLine(VESSEL*, char*, VESSELSTATUS*) override {}
  void SaveState(VESSEL*, FILEHANDLE) override {}
  void Timestep(VESSEL* vessel, double simTime) override {
    if (StepTakenByRequests(vessel, simTime)) return;
    log += "own ";
    if (!jettisonRequested) return;
    jettisonRequested = false;
    log += "jettison ";
  }
  std::string log;

 protected:
  void StepThrustUpdate(VESSEL*, double) override { log += "thrust "; }
};

class RequestTiming : public LauncherFixture {
 protected:
  RequestTiming() { probe.Init(); }

  // The host calls and probe steps of one time step.
  std::string Step(double t) {
    world.journal().Clear();
    probe.log.clear();
    probe.Timestep(&vessel, t);
    std::string calls;
    for (const std::string& call : CallTexts(world.journal())) calls += call + " ";
    return calls + probe.log;
  }

  ProbeConfiguration probe;
};

TEST_F(RequestTiming, IgniteStepThenSkippedStep) {
  probe.igniteRequested = true;
  EXPECT_EQ(Step(1.0), "SetEngineLevel(0, 1) thrust ");
  EXPECT_FALSE(probe.igniteRequested);
  EXPECT_TRUE(probe.skipNextStep);
  EXPECT_EQ(Step(1.01), "");
  EXPECT_FALSE(probe.skipNextStep);
  EXPECT_EQ(Step(1.02), "own ");
}

TEST_F(RequestTiming, ETakenDuringASkipIgnitesAgainAndSkipsLater) {
  probe.igniteRequested = true;
  Step(1.0);
  EXPECT_EQ(probe.ConsumeKey(&vessel, KeyState{E}.get()), 1);
  EXPECT_EQ(Step(1.01), "SetEngineLevel(0, 1) thrust ");
  EXPECT_EQ(Step(1.02), "");
  EXPECT_EQ(Step(1.03), "own ");
}

TEST_F(RequestTiming, ESetTwiceIgnitesOnce) {
  state->engineLevel[ENGINE_MAIN] = 1.0;
  EXPECT_EQ(probe.ConsumeKey(&vessel, KeyState{E}.get()), 1);
  probe.igniteRequested = true;  // a second accepted press before the step
  EXPECT_EQ(Step(1.0), "SetEngineLevel(0, 1) thrust ");
  EXPECT_EQ(Step(1.01), "");
  EXPECT_EQ(Step(1.02), "own ");
}

TEST_F(RequestTiming, JPendsAcrossASkippedStep) {
  probe.igniteRequested = true;
  Step(1.0);
  EXPECT_EQ(probe.ConsumeKey(&vessel, KeyState{J}.get()), 1);
  EXPECT_EQ(Step(1.01), "");
  EXPECT_TRUE(probe.jettisonRequested);
  EXPECT_EQ(Step(1.02), "own jettison ");
  EXPECT_EQ(Step(1.03), "own ");
}

TEST_F(RequestTiming, JAndEPendingTogetherIgniteFirst) {
  probe.igniteRequested = true;
  probe.jettisonRequested = true;
  EXPECT_EQ(Step(1.0), "SetEngineLevel(0, 1) thrust ");
  EXPECT_EQ(Step(1.01), "");
  EXPECT_EQ(Step(1.02), "own jettison ");
}

}  // namespace
