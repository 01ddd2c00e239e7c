// The module's scenario lines: key matching, the value forms (with the hand-edited text they must
// survive), each configuration's reader and its write order.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "config/core_configuration.h"
#include "config/stack_configuration.h"
#include "scenario/scenario_reader.h"
#include "sim/files/scenario_stream.h"
#include "tests/support/launcher_fixture.h"
#include "vehicle/booster_profile.h"
#include "vehicle/propulsion.h"

using namespace vantor;
using namespace zenthar;

namespace {

TEST(ScenarioReader, MatchesKeysWithoutCaseOverTheKeysLength) {
  struct {
    const char* line;
    const char* key;
    const char* rest;  // null: no match
  } const cases[] = {
      {"SAT_MASS 950", "SAT_MASS", " 950"}, {"sat_mass950", "SAT_MASS", "950"},
      {"Sat_Mass", "SAT_MASS", ""},         {"SAT_MAS 950", "SAT_MASS", nullptr},
      {"SAT", "SAT_MASS", nullptr},         {"", "SHROUD", nullptr},
      {" SHROUD 1", "SHROUD", nullptr},     {"SHROUDED", "SHROUD", "ED"},
  };
  for (const auto& c : cases) {
    const char* rest = MatchKey(c.line, c.key);
    if (c.rest == nullptr) {
      EXPECT_EQ(nullptr, rest) << c.line;
    } else {
      ASSERT_NE(nullptr, rest) << c.line;
      EXPECT_STREQ(c.rest, rest) << c.line;
    }
  }
}

TEST(ScenarioReader, IntegersAndFlags) {
  struct {
    const char* text;
    bool readable;
    int value;
    bool flag;
  } const cases[] = {
      {" 1", true, 1, true},
      {"+1", true, 1, true},
      {"01", true, 1, true},
      {"1.9", true, 1, true},
      {"1x", true, 1, true},
      {"2", true, 2, false},
      {"-1", true, -1, false},
      {"0", true, 0, false},
      {"", false, 0, false},
      {"x1", false, 0, false},
      {"+", false, 0, false},
      {"2147483647", true, INT_MAX, false},
      {"-2147483648", true, INT_MIN, false},
      // Outside int: no readable number, however the digits would wrap.
      {"2147483648", false, 0, false},
      {"4294967297", false, 0, false},
      {"-2147483649", false, 0, false},
      {"99999999999999999999999", false, 0, false},
  };
  for (const auto& c : cases) {
    int value = 12345;
    EXPECT_EQ(c.readable, ReadInteger(c.text, value)) << c.text;
    EXPECT_EQ(c.readable ? c.value : 12345, value) << c.text;
    EXPECT_EQ(c.flag, ReadFlag(c.text)) << c.text;
  }
}

TEST(ScenarioReader, RealsRefuseNanAndInfinity) {
  // Read as "%lf" reads them: a bare hexadecimal prefix is no number, and an exponent without
  // digits is left unread.
  struct {
    const char* text;
    bool readable;
    double value;
  } const cases[] = {
      {"950", true, 950}, {"  -3.5e2", true, -350}, {"23.5m", true, 23.5}, {".5", true, 0.5},
      {"abc", false, 0},  {"", false, 0},           {"nan", false, 0},     {"-NaN", false, 0},
      {"inf", false, 0},  {"Infinity", false, 0},   {"1e999", false, 0},   {"-1e999", false, 0},
      {"0x", false, 0},   {"-0x", false, 0},        {"+0X", false, 0},     {"0x 5", false, 0},
      {"0xg", false, 0},  {"0x1p10", true, 1024},   {"1e", true, 1},
  };
  for (const auto& c : cases) {
    double value = 7.25;
    EXPECT_EQ(c.readable, ReadReal(c.text, value)) << c.text;
    EXPECT_EQ(c.readable ? c.value : 7.25, value) << c.text;
  }
}

TEST(ScenarioReader, WordsStopAtBlanksAndNeverOverrunTheirField) {
  char field[256] = "before";
  EXPECT_TRUE(ReadWord("  Relay Sat", field));
  EXPECT_STREQ("Relay", field);
  EXPECT_FALSE(ReadWord("   ", field));
  EXPECT_STREQ("Relay", field);

  for (std::size_t length : {254u, 255u, 256u, 300u, 5000u}) {
    const std::string word(length, 'w');
    struct {
      char field[256];
      char guard[16];
    } bounded;
    std::memset(bounded.guard, 'G', sizeof bounded.guard);
    EXPECT_TRUE(ReadWord((" " + word + " tail").c_str(), bounded.field));
    EXPECT_EQ(std::min<std::size_t>(length, 255), std::strlen(bounded.field)) << length;
    EXPECT_EQ(std::string(16, 'G'), std::string(bounded.guard, 16)) << length;
  }
}

class ScenarioLines : public LauncherFixture {
 protected:
  ScenarioLines() { satellitePayload = SatellitePayload{"", "", 0, {0, 0, 0}, true}; }

  template <typename Configuration>
  void Read(Configuration& configuration, const std::vector<std::string>& lines) {
    VESSELSTATUS status{};
    for (std::string line : lines) configuration.ParseScenarioLine(&vessel, line.data(), &status);
  }

  // The lines the configuration handed to the host.
  std::vector<std::string> HostLines() { return ArgumentsOf(world.journal(), "ParseScenarioLine"); }
};

TEST_F(ScenarioLines, StackReadsItsKeysAndTheSatellitesAsWritten) {
  StackConfiguration stack;
  stack.Init();
  Read(stack, {"ITIME 42.5", "booster_ignited 1", "sat_jettisoned 0", "SAT_MASS950",
               "SAT_OFS_X abc", "SAT_OFS_Y -1.5", "SAT_OFS_Z 23.5", "SAT_NAME Relay sat",
               "SAT_MESH relaysat", "SHROUD 1", "RPOS 1 2 3"});
  EXPECT_EQ(-42.5, stack.ignitionTime);
  EXPECT_TRUE(stack.boostersIgnited);
  EXPECT_FALSE(satellitePayload.jettisoned);
  EXPECT_EQ(950, satellitePayload.mass);
  ExpectVector(satellitePayload.offset, {0.0, -1.5, 23.5});
  EXPECT_STREQ("Relay", satellitePayload.className);
  EXPECT_STREQ("relaysat", satellitePayload.meshName);
  // SHROUD is the core stage's key: under the full stack it is the host's line.
  EXPECT_EQ((std::vector<std::string>{"\"SHROUD 1\"", "\"RPOS 1 2 3\""}), HostLines());
}

TEST_F(ScenarioLines, UnreadableValuesLeaveTheDocumentedResults) {
  StackConfiguration stack;
  stack.Init();
  satellitePayload.mass = 950;
  satellitePayload.offset = {1, 2, 3};
  std::strcpy(satellitePayload.className, "Relaysat");
  Read(stack, {"ITIME 30", "BOOSTER_IGNITED 1", "SAT_JETTISONED 0"});
  Read(stack, {"ITIME soon", "BOOSTER_IGNITED 2", "SAT_JETTISONED", "SAT_MASS heavy", "SAT_MASS 0x",
               "SAT_OFS_X", "SAT_OFS_Y nan", "SAT_OFS_Z 1e999", "SAT_NAME"});
  EXPECT_EQ(0.0, stack.ignitionTime);
  EXPECT_FALSE(stack.boostersIgnited);
  EXPECT_FALSE(satellitePayload.jettisoned);  // a flag without a number reads as false
  EXPECT_EQ(950, satellitePayload.mass);      // unchanged
  ExpectVector(satellitePayload.offset, {0, 0, 0});
  EXPECT_STREQ("Relaysat", satellitePayload.className);  // unchanged

  // Values the forms read, however odd, are taken as they stand.
  Read(stack, {"SAT_MASS -5", "ITIME -3", "SAT_MASS nan", "BOOSTER_IGNITED 4294967297"});
  EXPECT_EQ(-5, satellitePayload.mass);
  EXPECT_EQ(3.0, stack.ignitionTime);
  EXPECT_FALSE(stack.boostersIgnited);
  EXPECT_TRUE(HostLines().empty());
}

TEST_F(ScenarioLines, CoreReadsTheShroudAndLeavesTheStacksKeysToTheHost) {
  CoreConfiguration core;
  core.Init();
  Read(core, {"SHROUD 1", "SAT_JETTISONED 0", "ITIME 5", "BOOSTER_IGNITED 1"});
  EXPECT_TRUE(core.fairingJettisoned);
  EXPECT_FALSE(satellitePayload.jettisoned);
  EXPECT_EQ((std::vector<std::string>{"\"ITIME 5\"", "\"BOOSTER_IGNITED 1\""}), HostLines());
  Read(core, {"shroud open"});
  EXPECT_FALSE(core.fairingJettisoned);
}

TEST_F(ScenarioLines, EachConfigurationWritesItsOwnOrder) {
  satellitePayload = SatellitePayload{"Relaysat", "relaysat", 950, {0, 0.5, 23.5}, false};
  StackConfiguration stack;
  stack.Init();
  stack.ignitionTime = -40.2;
  stack.boostersIgnited = true;
  ScenarioStream written;
  stack.SaveState(&vessel, &written);
  EXPECT_EQ((std::vector<std::string>{"CONFIGURATION 0", "ITIME 40.200000000000003",
                                      "BOOSTER_IGNITED 1", "SAT_OFS_X 0", "SAT_OFS_Y 0.5",
                                      "SAT_OFS_Z 23.5", "SAT_JETTISONED 0", "SAT_NAME Relaysat",
                                      "SAT_MESH relaysat", "SAT_MASS 950"}),
            written.lines);

  CoreConfiguration core;
  core.Init();
  core.fairingJettisoned = true;
  satellitePayload = SatellitePayload{"", "", 0, {0, 0, 0}, true};
  written.lines.clear();
  core.SaveState(&vessel, &written);
  EXPECT_EQ((std::vector<std::string>{"CONFIGURATION 1", "SAT_OFS_X 0", "SAT_OFS_Y 0",
                                      "SAT_OFS_Z 0", "SAT_MASS 0", "SAT_JETTISONED 1", "SAT_NAME ",
                                      "SAT_MESH ", "SHROUD 1"}),
            written.lines);
  // An empty name reads back as no word: the name stays as it was.
  std::strcpy(satellitePayload.className, "Kept");
  Read(core, {written.lines[6]});
  EXPECT_STREQ("Kept", satellitePayload.className);
}

TEST_F(ScenarioLines, ItimeRestoresTheBurnWhereItWasSaved) {
  StackConfiguration stack;
  stack.Init();
  Read(stack, {"ITIME 42.5", "BOOSTER_IGNITED 1"});
  // Saving before any full step writes back what was read.
  ScenarioStream written;
  stack.SaveState(&vessel, &written);
  EXPECT_EQ("ITIME 42.5", written.lines[1]);

  // At simulation time 10 the profile is sampled 52.5 s after ignition.
  stack.SetClassCaps(&vessel, 0.0);
  stack.Timestep(&vessel, 10.0);
  double thrustFraction, propellantFraction;
  SampleBoosterProfile(52.5, thrustFraction, propellantFraction);
  EXPECT_EQ(propellantFraction * stack.boosterFuelMass * 2 + stack.stackBaseMass, state->emptyMass);
  written.lines.clear();
  stack.SaveState(&vessel, &written);
  EXPECT_EQ("ITIME 52.5", written.lines[1]);
}

}  // namespace
