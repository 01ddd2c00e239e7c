// What a sweep makes of its --vary options: the flights' values in order, draws that depend on the
// seed and the flight alone, and each value put into the scenario where its reader reads it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "sim/zsim/scenario_inputs.h"
#include "sim/zsim/sweep_points.h"
#include "tests/support/flight_run.h"
#include "tests/support/temp_folder.h"

using namespace zenthar;
using namespace zenthar::zsim;

namespace {

SweepPoints Points(const std::vector<std::string>& vary, std::size_t draws = 0,
                   std::uint64_t seed = 1) {
  std::vector<VariedInput> inputs;
  std::string error;
  for (const std::string& text : vary) {
    VariedInput input;
    EXPECT_TRUE(ReadVariedInput(text, input, error)) << error;
    inputs.push_back(input);
  }
  SweepPoints points;
  EXPECT_TRUE(points.Set(inputs, draws, seed, error)) << error;
  return points;
}

TEST(SweepPoints, GridRunsThroughTheLastInputFastest) {
  const SweepPoints grid = Points({"SAT_MASS=0:0.3:0.1", "PAD=\"5.2 -52.8\",28.5   -80.6"});
  const std::vector<std::vector<std::string>> expected = {
      {"0", "5.2 -52.8"},   {"0", "28.5 -80.6"},   {"0.1", "5.2 -52.8"}, {"0.1", "28.5 -80.6"},
      {"0.2", "5.2 -52.8"}, {"0.2", "28.5 -80.6"}, {"0.3", "5.2 -52.8"}, {"0.3", "28.5 -80.6"}};
  ASSERT_EQ(grid.count(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(grid.ValuesOf(i), expected[i]);
}

TEST(SweepPoints, DrawsDependOnTheSeedAndTheFlightAlone) {
  const std::vector<std::string> vary = {"SAT_MASS=U(900,1000)", "PAD=N(5.2,0.5) -52.8,28.5 0"};
  const SweepPoints ten = Points(vary, 10, 7);
  const SweepPoints twenty = Points(vary, 20, 7);
  const SweepPoints otherSeed = Points(vary, 10, 8);
  std::size_t second = 0;
  for (std::size_t i = 0; i < 10; ++i) {
    const std::vector<std::string> values = ten.ValuesOf(i);
    EXPECT_EQ(values, twenty.ValuesOf(i));
    EXPECT_NE(values, otherSeed.ValuesOf(i));
    const double mass = std::strtod(values[0].c_str(), nullptr);
    EXPECT_TRUE(mass >= 900 && mass < 1000) << values[0];
    second += values[1] == "28.5 0";
    if (values[1] != "28.5 0") {
      EXPECT_EQ(values[1].substr(values[1].find(' ')), " -52.8");
    }
  }
  EXPECT_TRUE(second > 0 && second < 10) << "each of the listed values is drawn";
}

const char* const kScenario =
    "BEGIN_ENVIRONMENT\n"
    "DT 0.01\n"
    "KEYS 5:E,140:J,100:J   # the J at 100 s is the first\n"
    "END_ENVIRONMENT\n"
    "BEGIN_VESSEL Vantor1:Vantor\n"
    "PAD 5.2 -52.8\n"
    "SAT_MASS 1   # before CONFIGURATION: the module does not read it\n"
    "CONFIGURATION 0\n"
    "heading 90\n"
    "SAT_JETTISONED 0\n"
    "SAT_NAME Relaysat\n"
    "SAT_MASS 950\n"
    "END_VESSEL\n";

TEST(ScenarioInputs, EachValueGoesWhereItsReaderReadsIt) {
  TempFolder folder;
  const std::string path = folder / "base.scn";
  std::ofstream(path) << kScenario;
  World classes;
  std::string error;
  ASSERT_TRUE(classes.classes().LoadFolder(VANTOR_CLASSES_DIR, error)) << error;
  ScenarioText scenario;
  ASSERT_TRUE(scenario.Read(path, classes.classes(), error)) << error;

  struct {
    const char* name;
    const char* value;
    const char* was;  ///< the text the value replaces in the scenario
    const char* is;
  } const cases[] = {
      {"SAT_MASS", "1200", "SAT_MASS 950", "SAT_MASS 1200"},
      {"HEADING", "45", "heading 90", "HEADING 45"},
      {"SAT_OFS_Z", "20", "END_VESSEL", "SAT_OFS_Z 20\nEND_VESSEL"},
      {"DT", "0.02", "DT 0.01", "DT 0.02"},
      {"PLANET_ROTATION", "10", "END_ENVIRONMENT", "PLANET_ROTATION 10\nEND_ENVIRONMENT"},
      {"KEY:J", "90", "KEYS 5:E,140:J,100:J   # the J at 100 s is the first",
       "KEYS 5:E,140:J,90:J"},
      {"KEY:E", "7", "KEYS 5:E,140:J,100:J   # the J at 100 s is the first",
       "KEYS 7:E,140:J,100:J"},
      {"KEY:LSHIFT+J", "50", "END_ENVIRONMENT", "KEYS 50:LSHIFT+J\nEND_ENVIRONMENT"},
  };
  std::vector<ScenarioInput> all;
  std::vector<std::string> values;
  for (const auto& c : cases) {
    ScenarioInput input;
    ASSERT_TRUE(ReadScenarioInput(c.name, input, error)) << error;
    ASSERT_TRUE(CheckInputValue(input, c.value, error)) << error;
    std::string text;
    ASSERT_TRUE(scenario.With({input}, {c.value}, text, error)) << error;
    std::string expected = kScenario;
    expected.replace(expected.find(c.was), std::string(c.was).size(), c.is);
    EXPECT_EQ(text, expected) << c.name;
    all.push_back(input);
    values.push_back(c.value);
  }

  // All at once, read as any scenario is: the module reads the new mass, the keys come in time.
  std::string text;
  ASSERT_TRUE(scenario.With(all, values, text, error)) << error;
  const auto world = WorldFromText(text);
  ASSERT_TRUE(world);
  EXPECT_EQ(world->dt, 0.02);
  EXPECT_EQ(world->keyScript().ToString(), "7:E,50:LSHIFT+J,90:J,140:J");
  const double massWith1200 = world->Launcher()->Mass();
  world->End();
  EXPECT_EQ(massWith1200 - WorldFromText(kScenario)->Launcher()->Mass(), 250);

  std::ofstream(path) << "BEGIN_VESSEL Vantor1:Vantor\nPAD 5 5\nSAT_MASS 5\nEND_VESSEL\n";
  ScenarioText unread;
  ASSERT_TRUE(unread.Read(path, classes.classes(), error));
  EXPECT_FALSE(unread.With({all[0]}, {"1200"}, text, error));
  EXPECT_NE(error.find("no CONFIGURATION line"), std::string::npos) << error;
}

}  // namespace
