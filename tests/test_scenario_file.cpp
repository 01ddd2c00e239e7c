// The host's scenario files: structure, errors with their line, and what a saved file carries.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sim/files/scenario_file.h"
#include "sim/files/text_reader.h"
#include "tests/support/host_checks.h"
#include "tests/support/host_fixture.h"
#include "tests/support/temp_folder.h"

using namespace zenthar;

namespace {

bool Read(World& world, const std::string& text, std::string& error) {
  UseProjectFiles(world);
  std::istringstream in(text);
  return ReadScenario(world, in, "test.scn", error);
}

TEST(ScenarioFile, RefusesWhatItCannotReadWithTheLine) {
  struct {
    std::string text;
    const char* error;
  } const cases[] = {
      {"BEGIN_VESSEL Sat\nEND_VESSEL\n", "test.scn:1: expected 'BEGIN_VESSEL name:class'"},
      {"BEGIN_VESSEL Sat:\nEND_VESSEL\n", "test.scn:1: expected 'BEGIN_VESSEL name:class'"},
      {"# fine\nRPOS 1 2 3\n", "test.scn:2: expected BEGIN_ENVIRONMENT or BEGIN_VESSEL"},
      {"BEGIN_ENVIRONMENT\nDT -1\nEND_ENVIRONMENT\n",
       "test.scn:2: DT: expected a frame length from 0.0001 to 1 s, found '-1'"},
      {"BEGIN_ENVIRONMENT\nKEYS 5:WHAT\nEND_ENVIRONMENT\n", "test.scn:2: key script: unknown key"},
      {"BEGIN_ENVIRONMENT\nGRAVITY 3\nEND_ENVIRONMENT\n", "test.scn:2: unknown environment line"},
      {"BEGIN_ENVIRONMENT\nSAVE_AT 5,,6\nEND_ENVIRONMENT\n",
       "test.scn:2: SAVE_AT: expected a time from 0 to 1e+08 s, found nothing"},
      {"BEGIN_ENVIRONMENT\nUNTIL -1\nEND_ENVIRONMENT\n",
       "test.scn:2: UNTIL: expected a time from 0 to 1e+08 s, found '-1'"},
      {"BEGIN_VESSEL S:Relaysat\nPAD 0 0\nSTEERING autopliot\nEND_VESSEL\n",
       "test.scn:3: STEERING: expected autopilot, prograde or held, found 'autopliot'"},
      {"BEGIN_ENVIRONMENT\nDT 0.01\n", "test.scn:2: END_ENVIRONMENT missing"},
      {"BEGIN_VESSEL S:Relaysat\nRPOS 7e6 0 0\n", "test.scn:2: END_VESSEL missing"},
      {"\n\n", "test.scn:2: the scenario holds no vessel"},
      {"BEGIN_VESSEL S:Nope\nEND_VESSEL\n", "test.scn:1: unknown vessel class \"Nope\""},
      {"BEGIN_VESSEL S:Relaysat\nPAD 0 0\nEND_VESSEL\nBEGIN_VESSEL S:Relaysat\nEND_VESSEL\n",
       "test.scn:4: a vessel named \"S\" exists already"},
      {"BEGIN_ENVIRONMENT\nFOCUS T\nEND_ENVIRONMENT\nBEGIN_VESSEL S:Relaysat\nPAD 0 "
       "0\nEND_VESSEL\n",
       "test.scn: FOCUS names no vessel"},
      {"BEGIN_VESSEL S:Relaysat\nPAD 0 0\nBEGIN_VESSEL T:Relaysat\nPAD 0 0\nEND_VESSEL\n",
       "test.scn:3: END_VESSEL missing before 'BEGIN_VESSEL T:Relaysat'"},
      {"BEGIN_VESSEL S:Relaysat\nEND_VESSEL\n",
       "test.scn:1: vessel \"S\": its block gives neither RPOS nor PAD"},
      {"BEGIN_VESSEL S:Relaysat\nPAD 0 0\nSAT_MASS 3\nEND_VESSEL\n",
       "test.scn:3: unknown line 'SAT_MASS 3'"},  // a module line means nothing to a passive body
      {"BEGIN_VESSEL S:Relaysat\n" + std::string(4097, ' ') + "\n",
       "test.scn:2: the line is longer than 4096 characters"},
      {std::string("BEGIN_VESSEL S\0:Relaysat\n", 25),
       "test.scn:1: a control character (byte 0x00) in the line"},
      {"BEGIN_ENVIRONMENT\nPLANET_ROTATION 400\nEND_ENVIRONMENT\n",
       "test.scn:2: PLANET_ROTATION: expected a rotation angle from -360 to 360 deg, found '400'"},
      // Pads are placed as the planet stands when their block is read.
      {"BEGIN_VESSEL S:Relaysat\nPAD 0 0\nEND_VESSEL\nBEGIN_ENVIRONMENT\nPLANET_ROTATION 9\n",
       "test.scn:5: PLANET_ROTATION must come before the first vessel block"},
      {"BEGIN_VESSEL S:Relaysat\nPAD 0 0\nLAUNCH_PLANE 0 0 0.5\nEND_VESSEL\n",
       "test.scn:3: LAUNCH_PLANE: expected a unit vector, found one of length 0.5"},
      {"BEGIN_VESSEL S:Relaysat\nPAD 0 0\nIMPACTED 2\nEND_VESSEL\n",
       "test.scn:3: IMPACTED: expected 0 or 1, found '2'"},
  };
  for (const auto& c : cases) {
    World world;
    std::string error;
    EXPECT_FALSE(Read(world, c.text, error)) << c.text;
    EXPECT_EQ(0u, error.find(c.error)) << c.text << " gave: " << error;
  }
}

TEST(ScenarioFile, AFileIsReadWholeOnlyUpToItsLimit) {
  const TempFolder folder;
  const std::string small = folder / "small.scn";
  std::ofstream(small) << "ab\ncd\n";
  struct {
    std::string path;
    std::size_t largest;  ///< bytes
    std::string error;    ///< empty: read whole
  } const cases[] = {
      {small, 6, ""},
      {small, 5, small + ":2: the text is longer than 5 bytes"},
      {small, 2, small + ":1: the text is longer than 2 bytes"},
      // Endless: refused once past the limit, never read to its end.
      {"/dev/zero", 100000, "/dev/zero:1: the text is longer than 100000 bytes"},
      {folder / "none.scn", 6, folder / "none.scn: cannot be read"},
  };
  for (const auto& c : cases) {
    std::string text;
    std::string error;
    EXPECT_EQ(ReadTextFile(c.path, text, error, c.largest), c.error.empty()) << c.path;
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(text, c.error.empty() ? "ab\ncd\n" : "");
  }
}

TEST(ScenarioFile, APassiveBodyRoundTripsExactly) {
  World world;
  std::string error;
  ASSERT_TRUE(Read(world,
                   "BEGIN_ENVIRONMENT\nDT 0.02\nKEYS 3:J\nEND_ENVIRONMENT\n"
                   "BEGIN_VESSEL Sat:Relaysat\n  RPOS 7000000.1 0.3 -2\nRVEL 0 7546.05 0.1\n"
                   "AROT 0.1 0.2 0.3\nEND_VESSEL\n",
                   error))
      << error;
  const VesselState* sat = world.Find("Sat");
  ASSERT_NE(nullptr, sat);
  EXPECT_EQ(7000000.1, sat->position.x);
  EXPECT_EQ(7546.05, sat->velocity.y);
  EXPECT_EQ(0.02, world.dt);
  EXPECT_EQ(sat, world.focus());
  world.RunUntil(1.0);

  const std::string saved = WriteScenario(world);
  World again;
  ASSERT_TRUE(Read(again, saved, error)) << error << "\n" << saved;
  const VesselState* back = again.Find("Sat");
  ASSERT_NE(nullptr, back);
  EXPECT_EQ(world.Find("Sat")->position.x, back->position.x);
  EXPECT_EQ(world.Find("Sat")->velocity.z, back->velocity.z);
  // The press at 3 s is still to come: 2 s after the moment of saving.
  EXPECT_EQ("2:J", again.keyScript().ToString());
  EXPECT_EQ(0, again.time());
  // The planet stands as it stood when the world was saved.
  EXPECT_NEAR(world.planet.RotationAngle(world.time()), again.planet.rotationAtLoad, 1e-15);
}

TEST(ScenarioFile, AKeyScriptLongerThanALineIsSavedOnLinesTheReaderTakes) {
  std::string text = "BEGIN_ENVIRONMENT\n";
  for (int line = 9; line >= 0; --line) {  // later presses first: the script sorts them
    text += "KEYS ";
    for (int i = 0; i < 100; ++i) text += (i ? "," : "") + std::to_string(line * 100 + i) + ".5:J";
    text += "\n";
  }
  World world;
  std::string error;
  ASSERT_TRUE(
      Read(world, text + "END_ENVIRONMENT\nBEGIN_VESSEL S:Relaysat\nPAD 0 0\nEND_VESSEL\n", error))
      << error;
  ASSERT_EQ(1000u, world.keyScript().presses().size());
  EXPECT_EQ(999.5, world.keyScript().presses().back().time);
  const std::string saved = WriteScenario(world);
  std::istringstream lines(saved);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 4096u);
  World again;
  ASSERT_TRUE(Read(again, saved, error)) << error;
  EXPECT_EQ(world.keyScript().ToString(), again.keyScript().ToString());
}

// A pad is a point of the turning planet, placed as the planet stands at load.
TEST(ScenarioFile, PadLineStandsTheVesselOnItsTouchdownPoints) {
  struct {
    const char* header;
    double x, y;  // m, global frame, over the radius plus the touchdown height
  } const cases[] = {{"", 1, 0},
                     {"BEGIN_ENVIRONMENT\nPLANET_ROTATION 90\nEND_ENVIRONMENT\n", 0, 1},
                     {"BEGIN_ENVIRONMENT\nPLANET_ROTATION -180\nEND_ENVIRONMENT\n", -1, 0}};
  for (const auto& c : cases) {
    World world;
    std::string error;
    ASSERT_TRUE(Read(
        world, c.header + std::string("BEGIN_VESSEL Sat:Relaysat\nPAD 0 0\nEND_VESSEL\n"), error))
        << error;
    const VesselState* sat = world.Find("Sat");
    ASSERT_NE(nullptr, sat);
    EXPECT_TRUE(sat->landed);
    const double r = world.planet.radius + 1.5;
    ExpectVector(sat->position, {c.x * r, c.y * r, 0}, 1e-6, c.header);
  }
}

}  // namespace
