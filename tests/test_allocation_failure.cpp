// Allocation failure inside the module's callbacks. The module allocates only with
// new (std::nothrow), the host only with the throwing forms, so this program replaces the nothrow
// allocator with one that can fail the module's N-th allocation. The ordinary forms are replaced
// too, all on malloc and free, so that every block goes back to the allocator that made it and the
// sanitizer build still sees every block. For N = 1, 2, ... each callback must leave the state
// that its failure handling describes, go on working afterwards, and leak nothing; the largest N
// that still fails tells how many allocations the callback makes. The host's allocations are
// failed the same way, throwing as they do: the callback must end quietly, with no exception
// reaching the host.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
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

/// Which allocations an armed allocator counts and fails: the module's (nothrow: null) or the
/// host's (throwing: std::bad_alloc).
enum class Allocations { kModule, kHost };

/// The allocator's state. While watching, it keeps the nothrow blocks that it has handed out and
/// not yet had back; while armed, it counts one kind of allocation and fails the one numbered
/// failAt.
struct Allocator {
  bool watching;
  bool armed;
  Allocations kind;
  int count;
  int failAt;
  bool failed;
  static const int CAPACITY = 64;
  void* live[CAPACITY];
  int liveCount;
  bool overflow;
};

Allocator testAllocator = {};

bool FailsNow(Allocations kind) {
  if (!testAllocator.armed || testAllocator.kind != kind ||
      ++testAllocator.count != testAllocator.failAt)
    return false;
  testAllocator.failed = true;
  return true;
}

void Forget(void* block) {
  for (int i = 0; i < testAllocator.liveCount; ++i) {
    if (testAllocator.live[i] != block) continue;
    testAllocator.live[i] = testAllocator.live[--testAllocator.liveCount];
    return;
  }
}

void* AllocateNothrow(std::size_t size) noexcept {
  if (FailsNow(Allocations::kModule)) return nullptr;
  void* block = std::malloc(size != 0 ? size : 1);
  if (block != nullptr && testAllocator.watching) {
    if (testAllocator.liveCount < Allocator::CAPACITY)
      testAllocator.live[testAllocator.liveCount++] = block;
    else
      testAllocator.overflow = true;
  }
  return block;
}

void* AllocateOrThrow(std::size_t size) {
  if (FailsNow(Allocations::kHost)) throw std::bad_alloc();
  void* block = std::malloc(size != 0 ? size : 1);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void Release(void* block) noexcept {
  if (block == nullptr) return;
  Forget(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateNothrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateNothrow(size);
}
void* operator new(std::size_t size) {
  return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
  return AllocateOrThrow(size);
}
void operator delete(void* block) noexcept {
  Release(block);
}
void operator delete[](void* block) noexcept {
  Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
  Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  Release(block);
}

namespace {

enum class Installed { kNone, kStack, kCore };

/// A fresh host with one vessel "L1" that the module's VESSEL is bound to, the satellite record as
/// the module holds it when loaded, and the nothrow testAllocator watching.
class Attempt {
 public:
  Attempt() : savedPayload_(satellitePayload) {
    satellitePayload = {"", "", 0.0, {0, 0, 0}, true};
    UseProjectFiles(world);
    state = AddTestBody(world, "L1", {6371016, 0, 0});
    testAllocator.liveCount = 0;
    testAllocator.overflow = false;
    testAllocator.watching = true;
  }
  ~Attempt() {
    testAllocator.watching = false;
    satellitePayload = savedPayload_;
  }
  Attempt(const Attempt&) = delete;
  Attempt& operator=(const Attempt&) = delete;

  /// Runs operation with the N-th allocation of a kind failing; true when it was reached.
  static bool FailingAllocation(int n, const std::function<void()>& operation,
                                Allocations kind = Allocations::kModule) {
    testAllocator.kind = kind;
    testAllocator.count = 0;
    testAllocator.failAt = n;
    testAllocator.failed = false;
    testAllocator.armed = true;
    operation();
    testAllocator.armed = false;
    return testAllocator.failed;
  }

  Installed Current() const {
    if (Manager() == nullptr || Manager()->currentConfiguration == nullptr) return Installed::kNone;
    if (dynamic_cast<CoreConfiguration*>(Manager()->currentConfiguration)) return Installed::kCore;
    if (dynamic_cast<StackConfiguration*>(Manager()->currentConfiguration))
      return Installed::kStack;
    ADD_FAILURE() << "an unknown configuration";
    return Installed::kNone;
  }

  /// What a callback does without a configuration: steps and keys call nothing on the host, and
  /// saving writes the host's own lines only.
  void ExpectBehaviourWithoutConfiguration(VESSEL* launcher) {
    world.journal().Enable(true);
    world.journal().Clear();
    state->mainThrustMod = 5.0;
    unsigned char keys[256] = {};
    keys[0x12] = 0x80;  // E
    zvcTimestep(launcher, 1.0);
    EXPECT_EQ(zvcConsumeKey(launcher, reinterpret_cast<const char*>(keys)), 0);
    EXPECT_TRUE(world.journal().Operations().empty());
    EXPECT_EQ(state->mainThrustMod, 5.0);
    ScenarioStream saved;
    zvcSaveState(launcher, &saved);
    ScenarioStream hostLines;
    WriteHostState(*state, world.planet, world.time(), hostLines);
    EXPECT_EQ(saved.lines, hostLines.lines);
    world.journal().Enable(false);
  }

  /// The module's way out: the manager and every block the module still holds are gone.
  void ExitAndExpectNothingLeft(VESSEL* launcher) {
    zvcExit(launcher);
    EXPECT_EQ(Manager(), nullptr);
    EXPECT_FALSE(testAllocator.overflow);
    EXPECT_EQ(testAllocator.liveCount, 0) << "module blocks not reclaimed";
  }

  std::vector<std::string> HostParsedLines() {
    std::vector<std::string> lines;
    for (const JournalEntry& entry : world.journal().entries())
      if (entry.operation == "ParseScenarioLine")  // the journal quotes the line
        lines.push_back(entry.arguments.substr(1, entry.arguments.size() - 2));
    return lines;
  }

  World world;
  VesselState* state = nullptr;

 private:
  SatellitePayload savedPayload_;
};

TEST(AllocationFailure, InitKeepsWhatItCouldCreate) {
  // 1: the manager; 2: the VESSEL object.
  for (int n = 1;; ++n) {
    SCOPED_TRACE("failing allocation " + std::to_string(n));
    Attempt attempt;
    VESSEL* launcher = nullptr;
    const bool failed =
        Attempt::FailingAllocation(n, [&] { launcher = zvcInit(attempt.state, 0); });
    if (!failed) {
      EXPECT_EQ(n, 3) << "zvcInit makes two allocations";
      ASSERT_NE(launcher, nullptr);
      ASSERT_NE(Manager(), nullptr);
      attempt.ExitAndExpectNothingLeft(launcher);
      break;
    }
    if (n == 1) {
      // No manager: the vessel exists, and every later callback acts as with no configuration.
      ASSERT_NE(launcher, nullptr);
      EXPECT_EQ(Manager(), nullptr);
      zvcSetClassCaps(launcher);
      EXPECT_EQ(attempt.state->maxThrust[ENGINE_MAIN], 0.0);
      attempt.ExpectBehaviourWithoutConfiguration(launcher);
      attempt.ExitAndExpectNothingLeft(launcher);
    } else {
      // No vessel: the manager exists; the host gives up on the vessel with zvcExit(null).
      EXPECT_EQ(launcher, nullptr);
      ASSERT_NE(Manager(), nullptr);
      EXPECT_EQ(Manager()->currentConfiguration, nullptr);
      attempt.ExitAndExpectNothingLeft(nullptr);
    }
  }
}

TEST(AllocationFailure, SetClassCapsLeavesNoConfiguration) {
  for (int n = 1;; ++n) {
    SCOPED_TRACE("failing allocation " + std::to_string(n));
    Attempt attempt;
    VESSEL* launcher = zvcInit(attempt.state, 0);
    ASSERT_NE(launcher, nullptr);
    attempt.state->mainThrustMod = 7.0;
    if (!Attempt::FailingAllocation(n, [&] { zvcSetClassCaps(launcher); })) {
      EXPECT_EQ(n, 2) << "zvcSetClassCaps makes one allocation";
      EXPECT_EQ(attempt.Current(), Installed::kStack);
      attempt.ExitAndExpectNothingLeft(launcher);
      break;
    }
    // Nothing was installed, so nothing was applied to the vessel.
    EXPECT_EQ(attempt.Current(), Installed::kNone);
    EXPECT_EQ(attempt.state->maxThrust[ENGINE_MAIN], 0.0);
    EXPECT_EQ(attempt.state->mainThrustMod, 7.0);
    attempt.ExpectBehaviourWithoutConfiguration(launcher);
    attempt.ExitAndExpectNothingLeft(launcher);
  }
}

TEST(AllocationFailure, LoadStateHandsTheLinesOfAMissingConfigurationToTheHost) {
  struct Case {
    std::vector<std::string> lines;
    int allocations;  // the configuration loading starts with, then the one the block names
    // Per failing allocation 1, 2, ...: what is installed at the end, and the lines the host read.
    std::vector<Installed> installed;
    std::vector<std::vector<std::string>> hostLines;
  };
  const std::string rpos = "RPOS 6371100 0 0";
  const Case cases[] = {
      // The named configuration is made anew, so losing the first one costs nothing.
      {{rpos, "CONFIGURATION 1", "SAT_JETTISONED 0", "SAT_MASS 950", "SHROUD 1"},
       2,
       {Installed::kCore, Installed::kNone},
       {{rpos}, {rpos, "SAT_JETTISONED 0", "SAT_MASS 950", "SHROUD 1"}}},
      {{rpos, "CONFIGURATION 0", "ITIME 5", "SAT_MASS 950"},
       2,
       {Installed::kStack, Installed::kNone},
       {{rpos}, {rpos, "ITIME 5", "SAT_MASS 950"}}},
      // A number that names neither keeps the first one: without it there is none.
      {{"CONFIGURATION 7", "SAT_MASS 950"}, 1, {Installed::kNone}, {{"SAT_MASS 950"}}},
      {{rpos, "SAT_MASS 950"}, 1, {Installed::kNone}, {{rpos, "SAT_MASS 950"}}},
  };
  for (const Case& c : cases) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE(::testing::PrintToString(c.lines) + ", failing allocation " + std::to_string(n));
      Attempt attempt;
      VESSEL* launcher = zvcInit(attempt.state, 0);
      ASSERT_NE(launcher, nullptr);
      attempt.world.journal().Enable(true);
      ScenarioStream block;
      block.lines = c.lines;
      VESSELSTATUS status{};
      const bool failed =
          Attempt::FailingAllocation(n, [&] { zvcLoadState(launcher, &block, &status); });
      attempt.world.journal().Enable(false);
      if (!failed) {
        EXPECT_EQ(n, c.allocations + 1);
        EXPECT_NE(attempt.Current(), Installed::kNone);
        attempt.ExitAndExpectNothingLeft(launcher);
        break;
      }
      ASSERT_LE(n, static_cast<int>(c.installed.size()));
      const Installed installed = c.installed[n - 1];
      EXPECT_EQ(attempt.Current(), installed);
      EXPECT_EQ(attempt.HostParsedLines(), c.hostLines[n - 1]);
      // The satellite's mass reaches the module only through a configuration.
      EXPECT_EQ(satellitePayload.mass, installed == Installed::kNone ? 0.0 : 950.0);
      if (installed == Installed::kNone) attempt.ExpectBehaviourWithoutConfiguration(launcher);
      attempt.ExitAndExpectNothingLeft(launcher);
    }
  }
}

TEST(AllocationFailure, BoosterSeparationWithoutACoreStageLeavesNoConfiguration) {
  // The boosters leave at the time step after their burn, or at an accepted J.
  struct Trigger {
    const char* name;
    double itime;  // s since ignition, as loaded
    bool pressJ;
  };
  const Trigger triggers[] = {{"burnt out", 130.0, false}, {"J", 40.0, true}};
  for (const Trigger& trigger : triggers) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE(std::string(trigger.name) + ", failing allocation " + std::to_string(n));
      Attempt attempt;
      VESSEL* launcher = zvcInit(attempt.state, 0);
      ASSERT_NE(launcher, nullptr);
      ScenarioStream block;
      block.lines = {"CONFIGURATION 0", "ITIME " + std::to_string(trigger.itime),
                     "BOOSTER_IGNITED 1"};
      VESSELSTATUS status{};
      zvcLoadState(launcher, &block, &status);
      ASSERT_EQ(attempt.Current(), Installed::kStack);
      unsigned char keys[256] = {};
      keys[0x24] = trigger.pressJ ? 0x80 : 0;
      zvcConsumeKey(launcher, reinterpret_cast<const char*>(keys));
      const bool failed = Attempt::FailingAllocation(n, [&] { zvcTimestep(launcher, 0.0); });
      // Either way the boosters have gone and the core's engine burns on.
      EXPECT_NE(attempt.world.Find("L1-Stage_LeftBooster"), nullptr);
      EXPECT_NE(attempt.world.Find("L1-Stage_RightBooster"), nullptr);
      EXPECT_EQ(attempt.state->engineLevel[ENGINE_MAIN], 1.0);
      if (!failed) {
        EXPECT_EQ(n, 2) << "booster separation makes one allocation";
        EXPECT_EQ(attempt.Current(), Installed::kCore);
        attempt.ExitAndExpectNothingLeft(launcher);
        break;
      }
      EXPECT_EQ(attempt.Current(), Installed::kNone);
      attempt.ExpectBehaviourWithoutConfiguration(launcher);
      attempt.ExitAndExpectNothingLeft(launcher);
    }
  }
}

// A host call that throws ends the callback where it stands; the exception stays in the module,
// which goes on answering and reclaims what it holds.
TEST(AllocationFailure, AHostAllocationThrowingInACallbackEndsItQuietly) {
  enum Callback { kCaps, kLoad, kTimestep, kSave };
  struct Case {
    const char* name;
    std::vector<std::string> before;  // a block loaded first
    bool pressJ;                      // before the callback
    Callback callback;
    std::vector<std::string> loaded;  // the block that kLoad loads
  };
  const Case cases[] = {
      {"caps", {}, false, kCaps, {}},
      {"load",
       {"CONFIGURATION 1"},
       false,
       kLoad,
       {"RPOS 6371100 0 0", "CONFIGURATION 0", "SAT_JETTISONED 0", "SAT_MESH relaysat"}},
      {"booster separation",
       {"CONFIGURATION 0", "ITIME 130", "BOOSTER_IGNITED 1"},
       false,
       kTimestep,
       {}},
      {"satellite release",
       {"CONFIGURATION 1", "SAT_JETTISONED 0", "SAT_NAME Relaysat", "SHROUD 1"},
       true,
       kTimestep,
       {}},
      {"save", {"CONFIGURATION 1", "SAT_NAME Relaysat"}, false, kSave, {}},
  };
  for (const Case& c : cases) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE(std::string(c.name) + ", failing host allocation " + std::to_string(n));
      Attempt attempt;
      VESSEL* launcher = zvcInit(attempt.state, 0);
      ASSERT_NE(launcher, nullptr);
      ScenarioStream before;
      before.lines = c.before;
      VESSELSTATUS status{};
      if (!c.before.empty()) zvcLoadState(launcher, &before, &status);
      unsigned char keys[256] = {};
      keys[0x24] = c.pressJ ? 0x80 : 0;
      zvcConsumeKey(launcher, reinterpret_cast<const char*>(keys));
      // Everything the callback is given is made before the host's allocations can fail.
      ScenarioStream stream;
      stream.lines = c.loaded;
      stream.lines.reserve(64);
      const auto callback = [&] {
        switch (c.callback) {
          case kCaps:
            zvcSetClassCaps(launcher);
            break;
          case kLoad:
            zvcLoadState(launcher, &stream, &status);
            break;
          case kTimestep:
            zvcTimestep(launcher, 0.0);
            break;
          case kSave:
            zvcSaveState(launcher, &stream);
            break;
        }
      };
      bool failed = false;
      EXPECT_NO_THROW(failed = Attempt::FailingAllocation(n, callback, Allocations::kHost));
      // Whatever the callback got done, the module answers the next ones.
      zvcTimestep(launcher, 1.0);
      ScenarioStream saved;
      zvcSaveState(launcher, &saved);
      EXPECT_FALSE(saved.lines.empty());
      attempt.ExitAndExpectNothingLeft(launcher);
      if (!failed) break;
      ASSERT_LT(n, 1000) << "the callback never completes";
    }
  }
}

}  // namespace
