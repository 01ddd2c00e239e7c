// The stand-in host's own behaviour: frames, status records, vessel creation, keys, focus, the
// journal and the module loader. Everything else is checked through it.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <sstream>

#include "host/zapi.h"
#include "sim/files/host_state_lines.h"
#include "sim/files/scenario_file.h"
#include "sim/physics/attitude_control.h"
#include "sim/world/host_controls.h"
#include "sim/world/module_loader.h"
#include "tests/support/host_checks.h"
#include "tests/support/host_fixture.h"

using namespace zenthar;

namespace {

// Vessel frame to global frame: vessel x -> global y, vessel y -> global z, vessel z -> global x.
const Matrix3 kCyclic{{{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}};

TEST_F(HostFixture, FramesOfARotatedMovingVessel) {
  state->position = {7000000, 100, -50};
  state->velocity = {0, 7500, 10};
  state->attitude = kCyclic;

  VECTOR3 rel, global;
  vessel.Local2Rel({1, 2, 3}, rel);
  ExpectVector(rel, {7000003, 101, -48});
  vessel.GlobalRot({-2, 0, 0.5}, global);
  ExpectVector(global, {0.5, -2, 0});
  // Velocity does not enter either: a frame is a frame.
  vessel.Local2Rel({0, 0, 0}, rel);
  ExpectVector(rel, state->position);
}

TEST_F(HostFixture, StatusRecordRoundTripsThroughCreate) {
  VESSELSTATUS original{};
  original.position = {6500000, -2000, 300};
  original.velocity = {10, 7600, -3};
  original.angularVelocity = {0.01, 0, -0.02};
  original.attitude = {0.3, -0.2, 1.1};
  original.landed = 0;
  std::string error;
  VesselState* body = world.CreateVessel("Body", "Relaysat", original, error);
  ASSERT_NE(body, nullptr) << error;
  EXPECT_EQ(950, body->emptyMass);

  VESSELSTATUS read{};
  VESSEL(body, 0).GetStatus(read);
  ExpectVector(read.position, original.position);
  ExpectVector(read.velocity, original.velocity);
  ExpectVector(read.angularVelocity, original.angularVelocity);
  ExpectVector(read.attitude, original.attitude, 1e-12);
  EXPECT_EQ(&world.planet, read.referenceBody);
  EXPECT_EQ(0, read.landed);
}

TEST_F(HostFixture, AttitudeAnglesSurviveTheUprightPadAttitude) {
  // Vessel +z along global +x is a gimbal-lock attitude for the angle convention.
  const Matrix3 upright{{{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}}};
  ExpectMatrix(RotationFromAngles(AnglesFromRotation(upright)), upright, 1e-15);
}

TEST_F(HostFixture, HostLinesCarryTheStatus) {
  state->position = {7e6 + 1.0 / 3, 2, 3};
  state->velocity = {4, 5, 6.1};
  state->landed = true;
  ScenarioStream stream;
  vessel.SaveDefaultState(&stream);
  VESSELSTATUS read{};
  for (std::string& line : stream.lines) vessel.ParseScenarioLine(line.data(), &read);
  ExpectVector(read.position, state->position);
  ExpectVector(read.velocity, state->velocity);
  EXPECT_EQ(1, read.landed);
  // A module key is never a host key, whatever its case.
  std::string error;
  for (const char* line : {"SHROUD 1", "sat_mass 5", "ITIME 3", "CONFIGURATION 1"}) {
    EXPECT_FALSE(ReadHostStateLine(line, read, *state, world.planet, error)) << line;
    EXPECT_TRUE(BeginsWithModuleKey(line)) << line;
  }
}

TEST_F(HostFixture, HostLinesRefuseWhatCannotBeFlownAndLeaveTheStatus) {
  struct {
    const char* line;
    const char* error;
  } const cases[] = {
      {"RPOS 1 2 nan", "RPOS: expected a position coordinate from -1e+12 to 1e+12 m, found 'nan'"},
      {"RPOS 1e308 0 0", "found '1e308'"},
      {"RPOS 6e6 0 0", "RPOS: expected a distance from the planet's centre from 6361000 to"},
      {"RPOS 7e6 0", "RPOS: expected a position coordinate from -1e+12 to 1e+12 m, found nothing"},
      {"RVEL 0 0 2e5 # fast", "RVEL: expected a velocity coordinate from -100000 to 100000 m/s"},
      {"FUEL nan", "FUEL: expected a level from 0 to 1, found 'nan'"},
      {"FUEL 1.5", "found '1.5'"},
      {"ENG_MAIN -0.2", "ENG_MAIN: expected a level from 0 to 1, found '-0.2'"},
      {"LANDED 2", "LANDED: expected 0 or 1, found '2'"},
      {"PAD 95 0", "PAD: expected a latitude from -90 to 90 deg, found '95'"},
      {"PAD 5 -52 3", "PAD: expected nothing more, found '3'"},
      {"PITCH 0 90 15", "PITCH: expected an elevation from -90 to 90 deg, found nothing"},
      {"PITCH 10 90 5 80", "PITCH: expected times that increase, found 5 s after 10 s"},
      {"HEADING inf", "HEADING: expected a heading from -360 to 360 deg, found 'inf'"},
      {"PICTH 0 90", "unknown line 'PICTH 0 90'"},
  };
  for (const auto& c : cases) {
    VESSELSTATUS read = StatusAt({7e6, 0, 0});
    std::string error;
    EXPECT_FALSE(ReadHostStateLine(c.line, read, *state, world.planet, error)) << c.line;
    EXPECT_NE(std::string::npos, error.find(c.error)) << c.line << " gave: " << error;
    EXPECT_EQ(7e6, read.position.x) << c.line;
    EXPECT_EQ(0, read.fuelLevel) << c.line;
  }
  // A comment after a host line, and a line that is only one, read.
  VESSELSTATUS read{};
  std::string error;
  EXPECT_TRUE(ReadHostStateLine("FUEL 0.5   # half full", read, *state, world.planet, error))
      << error;
  EXPECT_EQ(0.5, read.fuelLevel);
  EXPECT_TRUE(ReadHostStateLine("# nothing", read, *state, world.planet, error)) << error;
}

TEST_F(HostFixture, ValuesOutOfRangeAreRefusedOnceAndTheVesselKeepsWhatItHad) {
  vessel.SetEmptyMass(1000);
  vessel.SetEngineLevel(ENGINE_MAIN, 0.5);
  const VECTOR3 far{0, 0, 1e308};
  const unsigned flame = vessel.AddExhaustRef(EXHAUST_MAIN, {0, 0, -15}, 10, 1, nullptr);
  const std::size_t before = world.events().size();
  vessel.SetEmptyMass(NAN);
  vessel.SetEmptyMass(INFINITY);  // the same operation: reported once
  vessel.SetEngineLevel(ENGINE_MAIN, 1.5);
  vessel.AddMesh("sat", &far);
  EXPECT_EQ(0xFFFFu, vessel.AddExhaustRef(EXHAUST_MAIN, far, 10, 1, nullptr));
  vessel.SetExhaustScales(EXHAUST_MAIN, static_cast<unsigned short>(flame), -1, 1);
  *vessel.GetMainThrustModPtr() = NAN;
  world.Step();
  EXPECT_EQ(nullptr, VESSEL::Create("L1-Sat", "Relaysat", StatusAt({1e308, 0, 0})));

  EXPECT_EQ(1000, state->emptyMass);
  EXPECT_EQ(0.5, state->engineLevel[ENGINE_MAIN]);
  EXPECT_TRUE(state->meshes.empty());
  ASSERT_EQ(1u, state->exhausts.size());
  EXPECT_EQ(10, state->exhausts[0].lengthScale);
  EXPECT_EQ(0, state->mainThrustMod);
  EXPECT_EQ(nullptr, world.Find("L1-Sat"));
  std::vector<std::string> refused;
  for (std::size_t i = before; i < world.events().size(); ++i)
    if (world.events()[i].kind == "value_refused") refused.push_back(world.events()[i].detail);
  EXPECT_EQ(
      (std::vector<std::string>{
          "SetEmptyMass nan: expected a mass from 0 to 1e+09 kg",
          "SetEngineLevel 1.5: expected a level from 0 to 1",
          "AddMesh 1e+308: expected a length in the vessel frame from -10000 to 10000 m",
          "AddExhaustRef 1e+308: expected a length in the vessel frame from -10000 to 10000 m",
          "SetExhaustScales -1: expected a flame scale from 0 to 10000",
          "mainThrustMod nan: expected a thrust modifier from -1e+10 to 1e+10 N",
          "VESSEL::Create position 1e+308: expected a position coordinate from -1e+12 to "
          "1e+12 m"}),
      refused);
}

TEST_F(HostFixture, UnknownClassCreatesNothingAndIsReported) {
  world.journal().Enable(true);
  EXPECT_EQ(nullptr, VESSEL::Create("L1-Thing", "NoSuchClass", StatusAt({1, 2, 3})));
  EXPECT_EQ(nullptr, world.Find("L1-Thing"));
  ASSERT_FALSE(world.events().empty());
  EXPECT_EQ("vessel_refused", world.events().back().kind);
  EXPECT_EQ("NoSuchClass", world.events().back().detail);
  ASSERT_EQ(1u, world.journal().entries().size());
  EXPECT_EQ("VESSEL::Create", world.journal().entries()[0].operation);
  EXPECT_EQ("null", world.journal().entries()[0].answer);
  // A taken name is refused too.
  EXPECT_EQ(nullptr, VESSEL::Create("L1", "Relaysat", StatusAt({1, 2, 3})));
}

TEST_F(HostFixture, JournalRecordsCallsInOrderWithArgumentsAndAnswers) {
  world.journal().Enable(true);
  vessel.SetSize(15);
  vessel.SetEmptyMass(726800);
  const VECTOR3 down{0, 0, -1};
  vessel.AddExhaustRef(EXHAUST_MAIN, {0, 0, -15}, 10, 1, &down);
  const unsigned index = vessel.AddExhaustRef(EXHAUST_CUSTOM, {-3.65, 0, -16}, 0, 0, nullptr);
  EXPECT_EQ(726800, vessel.GetEmptyMass());
  vessel.SetExhaustScales(EXHAUST_CUSTOM, static_cast<unsigned short>(index), 10, 1);
  zapiGetVesselByName("Nobody");

  const auto& entries = world.journal().entries();
  ASSERT_EQ(7u, entries.size());
  const std::vector<std::string> operations{"SetSize",       "SetEmptyMass", "AddExhaustRef",
                                            "AddExhaustRef", "GetEmptyMass", "SetExhaustScales"};
  for (std::size_t i = 0; i < operations.size(); ++i) {
    EXPECT_EQ(operations[i], entries[i].operation);
    EXPECT_EQ("L1", entries[i].vessel);
    EXPECT_LT(entries[i].sequence, entries[i + 1].sequence);
  }
  EXPECT_EQ("15", entries[0].arguments);
  EXPECT_EQ("3, (-3.6499999999999999, 0, -16), 0, 0, null", entries[3].arguments);
  EXPECT_EQ("1", entries[3].answer);
  EXPECT_EQ("726800", entries[4].answer);
  EXPECT_EQ("3, 1, 10, 1", entries[5].arguments);
  EXPECT_EQ(10, state->exhausts[1].lengthScale);
  EXPECT_EQ("zapiGetVesselByName", world.journal().entries().back().operation);
  EXPECT_EQ("", world.journal().entries().back().vessel);
  EXPECT_EQ("null", world.journal().entries().back().answer);
}

TEST_F(HostFixture, JournalIsOffByDefault) {
  vessel.SetSize(3);
  VESSELSTATUS status{};
  vessel.GetStatus(status);
  EXPECT_TRUE(world.journal().entries().empty());
}

TEST_F(HostFixture, TankCapacityCutsButNeverRefills) {
  vessel.SetMaxFuelMass(1000);
  state->fuelMass = 800;
  vessel.SetMaxFuelMass(500);
  EXPECT_EQ(500, vessel.GetFuelMass());
  vessel.SetMaxFuelMass(2000);
  EXPECT_EQ(500, vessel.GetFuelMass());
}

TEST_F(HostFixture, DelayedKeyAcceptanceFollowsSimulationTime) {
  EXPECT_TRUE(zapiAcceptDelayedKey(0x12, 1.0));
  EXPECT_FALSE(zapiAcceptDelayedKey(0x12, 1.0));  // the same press, same frame
  EXPECT_TRUE(zapiAcceptDelayedKey(0x24, 1.0));   // another key is its own
  world.RunUntil(0.5);
  EXPECT_FALSE(zapiAcceptDelayedKey(0x12, 1.0));
  world.RunUntil(1.0);
  EXPECT_TRUE(zapiAcceptDelayedKey(0x12, 1.0));  // a press after the interval
  EXPECT_FALSE(zapiAcceptDelayedKey(300, 1.0));  // not a key code
}

TEST_F(HostFixture, FocusMovesOnlyToVesselsOfTheWorld) {
  std::string error;
  VesselState* other = world.CreateVessel("Other", "Relaysat", StatusAt({7e6, 0, 0}), error);
  ASSERT_NE(other, nullptr);
  zapiSetFocusObject(other);
  EXPECT_EQ(other, world.focus());
  EXPECT_EQ("focus", world.events().back().kind);
  EXPECT_EQ("Other", world.events().back().vessel);
  int notAVessel = 0;
  zapiSetFocusObject(&notAVessel);
  EXPECT_EQ(other, world.focus());
  EXPECT_EQ(other, zapiGetVesselByName("Other"));
}

TEST(KeyScript, ParsesPressesAndRefusesWhatItCannotRead) {
  KeyScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("140:J,5:E,200:LSHIFT+J", error)) << error;
  ASSERT_EQ(3u, script.presses().size());
  EXPECT_EQ(5, script.presses()[0].time);
  EXPECT_EQ((std::vector<int>{0x2A, 0x24}), script.presses()[2].keys);
  EXPECT_EQ("5:E,140:J,200:LSHIFT+J", script.ToString());

  for (const char* bad :
       {"5E", "x:E", "5:Q+NOPE", "5:E,,6:J", "-1:E", "nan:E", "5:", "5:A+B+C+D+E+F+G+H+J"}) {
    KeyScript other;
    EXPECT_FALSE(other.Parse(bad, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
}

TEST(KeyScript, HoldsAPressForATenthOfASecondFromTheFirstFrameAtOrAfterIt) {
  KeyScript script;
  std::string error;
  ASSERT_TRUE(script.Parse("0.055:E", error));
  unsigned char keys[256];
  int framesDown = 0, firstDown = -1;
  for (long frame = 0; frame < 50; ++frame) {
    script.Apply(frame, 0.01, keys);
    if (keys[0x12] & 0x80) {
      if (firstDown < 0) firstDown = static_cast<int>(frame);
      ++framesDown;
    }
  }
  EXPECT_EQ(6, firstDown);
  EXPECT_EQ(10, framesDown);
  // Saved at frame 6 the press has started: nothing remains. Saved at frame 5 it remains, rebased.
  EXPECT_TRUE(script.RemainingAfter(7, 0.01).presses().empty());
  ASSERT_EQ(1u, script.RemainingAfter(5, 0.01).presses().size());
  EXPECT_NEAR(0.005, script.RemainingAfter(5, 0.01).presses()[0].time, 1e-15);
  // A press added during the flight (flying by hand), and frames of another length.
  ASSERT_TRUE(script.Parse("0.3:J", error));
  const struct {
    long frame;
    double dt;
    bool down;
  } cases[] = {{29, 0.01, false}, {30, 0.01, true}, {59, 0.005, false}, {60, 0.005, true}};
  for (const auto& c : cases) {
    script.Apply(c.frame, c.dt, keys);
    EXPECT_EQ(c.down, (keys[0x24] & 0x80) != 0) << c.frame << " " << c.dt;
    EXPECT_EQ(c.down ? 1u : 0u,
              script.StartingAt(c.frame, c.dt).second - script.StartingAt(c.frame, c.dt).first);
  }
}

// The world counts the keys held afresh only where a press starts or ends, or the script changed.
TEST(KeyScript, TheWorldHoldsEachPressItsFramesAlsoWhenAddedDuringTheFlight) {
  World world;
  std::string error;
  ASSERT_TRUE(world.keyScript().Parse("0.02:E,0.05:J", error));
  std::string held;  // per frame: E, J, both or neither
  for (int frame = 0; frame < 30; ++frame) {
    if (frame == 20) {
      ASSERT_TRUE(world.keyScript().Parse("0.22:E", error));  // flown by hand
    }
    world.Step();
    const bool e = world.keyState()[0x12] & 0x80, j = world.keyState()[0x24] & 0x80;
    held += e && j ? 'B' : e ? 'E' : j ? 'J' : '.';
  }
  EXPECT_EQ("..EEEBBBBBBBJJJ.......EEEEEEEE", held);
  const struct {
    long frame, next;
  } changes[] = {{0, 2}, {2, 5}, {5, 12}, {12, 15}, {15, 22}, {22, 32}, {32, LONG_MAX}};
  for (const auto& c : changes) EXPECT_EQ(c.next, world.keyScript().NextChange(c.frame, 0.01));
}

TEST(KeyScript, NamesTheHostControlsBeyondTheKeysTheModuleReads) {
  const char* const names[] = {"ENGINE_UP", "ENGINE_DOWN", "ENGINE_FULL",  "ENGINE_CUT",
                               "PITCH_UP",  "PITCH_DOWN",  "HEADING_LEFT", "HEADING_RIGHT",
                               "AUTOPILOT", "PROGRADE",    "FOCUS_NEXT"};
  int code = kFirstHostControl;
  for (const char* name : names) {
    EXPECT_EQ(code, KeyScript::KeyCode(name)) << name;
    EXPECT_EQ(name, KeyScript::KeyName(code++));
    KeyScript script;
    std::string error;
    ASSERT_TRUE(script.Parse(std::string("0:LALT+") + name, error)) << error;
    unsigned char keys[256];
    script.Apply(0, 0.01, keys);
    for (int key = 0; key < 256; ++key) EXPECT_EQ(key == 0x38 ? 0x80 : 0, keys[key]) << name;
  }
  EXPECT_EQ(kLastHostControl + 1, code);
  EXPECT_EQ(static_cast<int>(HostControl::kAutopilot), KeyScript::KeyCode("autopilot"));
}

// Each press acts once, on its first frame, on the focus vessel; the latest attitude control wins.
TEST(HostControls, ActOnceOnTheFocusVesselAtTheFrameTheirPressStarts) {
  const AttitudeMode kAuto = AttitudeMode::kAutopilot, kHeld = AttitudeMode::kHeld,
                     kPrograde = AttitudeMode::kPrograde;
  struct {
    const char* program;  ///< PITCH points, or none
    const char* keys;
    double level, elevation, heading;  ///< deg
    AttitudeMode mode;
  } const cases[] = {
      {"", "0:ENGINE_UP,0.05:ENGINE_UP,0.1:ENGINE_UP", 0.3, 10, 90, kAuto},
      {"", "0:ENGINE_FULL,0:ENGINE_DOWN,0.3:ENGINE_UP,0.31:ENGINE_UP", 1, 10, 90, kAuto},
      {"", "0:ENGINE_FULL,0.2:ENGINE_CUT,0.3:ENGINE_DOWN", 0, 10, 90, kAuto},
      {"", "0:PITCH_UP,0.2:PITCH_UP,0.4:HEADING_LEFT", 0, 12, 89, kHeld},
      {"", "0:PITCH_DOWN,0.2:HEADING_RIGHT", 0, 9, 91, kHeld},
      {"", "0:PROGRADE", 0, 0, 90, kPrograde},
      {"", "0:PROGRADE,0.2:PROGRADE", 0, 0, 90, kHeld},
      {"", "0:AUTOPILOT", 0, 10, 90, kAuto},  // nothing to switch
      {"0 30", "", 0, 30, 90, kAuto},
      {"0 30", "0:AUTOPILOT", 0, 10, 90, kHeld},
      {"0 30", "0:AUTOPILOT,0.2:AUTOPILOT", 0, 30, 90, kAuto},
      {"0 30", "0:PROGRADE,0.2:AUTOPILOT", 0, 30, 90, kAuto},
      {"0 30", "0.2:PITCH_UP", 0, 31, 90, kHeld},
  };
  for (const auto& c : cases) {
    World world;
    UseProjectFiles(world);
    VESSELSTATUS status = StatusAt({7e6, 0, 0});
    status.velocity = {0, 7546, 0};  // a circle, heading east
    std::string error;
    VesselState* sat = world.CreateVessel("Sat", "Relaysat", status, error);
    ASSERT_NE(sat, nullptr) << error;
    if (*c.program) {
      ASSERT_TRUE(sat->pitch.Parse(c.program, error)) << error;
    }
    PointNose(*sat, 10, 90);
    world.SetFocus(sat);
    ASSERT_TRUE(world.keyScript().Parse(c.keys, error)) << error;
    world.RunUntil(0.5);
    const NoseDirection nose = NoseOf(*sat);
    EXPECT_EQ(c.level, sat->engineLevel[ENGINE_MAIN]) << c.keys;
    // Held, the nose keeps its direction in space while the horizon turns under it (0.03 deg).
    EXPECT_NEAR(c.elevation, nose.elevation, 0.05) << c.program << " " << c.keys;
    EXPECT_NEAR(c.heading, nose.heading, 0.01) << c.program << " " << c.keys;
    EXPECT_EQ(c.mode, sat->attitudeMode) << c.program << " " << c.keys;
    // A world saved now steers as this one does.
    World again;
    UseProjectFiles(again);
    std::istringstream saved(WriteScenario(world));
    ASSERT_TRUE(ReadScenario(again, saved, "saved", error)) << error;
    EXPECT_EQ(c.mode, again.Find("Sat")->attitudeMode) << c.program << " " << c.keys;
  }
}

TEST(ModuleLoader, RefusesAModuleThatLacksACallbackOrDoesNotLoad) {
  std::string error;
  EXPECT_EQ(nullptr, LoadedModule::Load(INCOMPLETE_MODULE_PATH, error));
  EXPECT_NE(std::string::npos, error.find("lacks the callback zvcSaveState")) << error;
  error.clear();
  EXPECT_EQ(nullptr, LoadedModule::Load("/nonexistent/libnothing.so", error));
  EXPECT_NE(std::string::npos, error.find("does not load")) << error;
  error.clear();
  EXPECT_NE(nullptr, LoadedModule::Load(PROBE_MODULE_PATH, error)) << error;
}

TEST(ModuleLoader, AClassWhoseModuleFailsCreatesNothing) {
  World world;
  UseProjectFiles(world);
  world.classes().Add(VesselClass{"Broken", INCOMPLETE_MODULE_PATH});
  std::string error;
  EXPECT_EQ(nullptr, world.CreateVessel("B", "Broken", StatusAt({7e6, 0, 0}), error));
  EXPECT_NE(std::string::npos, error.find("zvcSaveState"));
  EXPECT_TRUE(world.vessels().empty());
  EXPECT_EQ("vessel_refused", world.events().back().kind);
}

class ProbeWorld : public ::testing::Test {
 protected:
  ProbeWorld() {
    UseProjectFiles(world);
    world.classes().Add(VesselClass{"Probe", PROBE_MODULE_PATH});
    std::string error;
    probe = world.CreateVessel("P", "Probe", StatusAt({7e6, 0, 0}), error);
    if (probe) world.SetFocus(probe);
  }
  World world;
  VesselState* probe = nullptr;
};

TEST_F(ProbeWorld, AFrameHandsKeysOverThenStepsModulesThenIntegrates) {
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(500, probe->fuelMass) << "a new vessel starts with a full tank";
  std::string error;
  ASSERT_TRUE(world.keyScript().Parse("0.02:E", error));
  world.journal().Enable(true);
  world.RunUntil(0.03);

  std::vector<std::string> frame2;
  for (const JournalEntry& entry : world.journal().entries())
    if (entry.time == 0.02) frame2.push_back(entry.operation);
  const std::vector<std::string> expected{"zvcConsumeKey", "zapiAcceptDelayedKey", "zvcTimestep",
                                          "SetEngineLevel", "mainThrustMod"};
  EXPECT_EQ(expected, frame2);
  EXPECT_EQ(1.0, probe->engineLevel[ENGINE_MAIN]);
  EXPECT_LT(probe->fuelMass, 500) << "the engine burned in the frame it was lit";
}

TEST_F(ProbeWorld, ASecondLauncherIsRefusedAndKeysGoToTheFocusOnly) {
  ASSERT_NE(probe, nullptr);
  std::string error;
  EXPECT_EQ(nullptr, world.CreateVessel("P2", "Probe", StatusAt({7e6, 1e5, 0}), error));
  EXPECT_NE(std::string::npos, error.find("second launcher")) << error;

  VesselState* other = world.CreateVessel("Other", "Relaysat", StatusAt({7e6, 2e5, 0}), error);
  ASSERT_NE(other, nullptr);
  world.SetFocus(other);
  ASSERT_TRUE(world.keyScript().Parse("0:E", error));
  world.RunUntil(0.2);
  EXPECT_EQ(0.0, probe->engineLevel[ENGINE_MAIN]);
}

TEST_F(ProbeWorld, FocusGoesToTheNextVesselAndHostControlsNeverReachTheModule) {
  ASSERT_NE(probe, nullptr);
  std::string error;
  VesselState* other = world.CreateVessel("Other", "Relaysat", StatusAt({7e6, 2e5, 0}), error);
  ASSERT_NE(other, nullptr) << error;
  ASSERT_TRUE(world.keyScript().Parse("0:FOCUS_NEXT,0.2:ENGINE_FULL+FOCUS_NEXT", error));
  world.journal().Enable(true);
  world.RunUntil(0.1);
  EXPECT_EQ(other, world.focus());
  world.RunUntil(0.3);
  EXPECT_EQ(probe, world.focus()) << "round to the first";
  EXPECT_EQ(1.0, other->engineLevel[ENGINE_MAIN]) << "on the focus before the press moved it";
  EXPECT_EQ(0.0, probe->engineLevel[ENGINE_MAIN]);
  for (const std::string& keys : ArgumentsOf(world.journal(), "zvcConsumeKey"))
    EXPECT_EQ("keys: ", keys);
}

}  // namespace
