// What a sweep makes of its --vary options: the flights' values in order, draws that depend on the
// seed and the flight alone, and each value put into the scenario where its reader reads it.
#include <gtest/gtest.h>

#include <cstdio>
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

/// An offered value as a row of the tables below writes it: text fields as they are, draws as
/// N[mean,sd] and U[lo,hi], fields joined by one blank.
std::string Describe(const OfferedValue& value) {
  std::string text;
  for (const ValueField& field : value) {
    if (!text.empty()) text += ' ';
    if (field.kind == ValueField::Kind::kText) {
      text += field.text;
      continue;
    }
    char draw[80];
    std::snprintf(draw, sizeof draw, "%s[%g,%g]",
                  field.kind == ValueField::Kind::kNormal ? "N" : "U", field.a, field.b);
    text += draw;
  }
  return text;
}

TEST(SweepPoints, ReadsEveryFormOfValuesOrSaysWhatIsWrong) {
  struct {
    const char* text;
    std::vector<std::string> values;  ///< empty: refused
    const char* says;                 ///< the refusal's first words after "--vary TEXT: "
  } const cases[] = {
      // Ranges: the end when it is hit, steps of 0.1 landing on it, steps down, one value.
      {"SAT_MASS=0:1:0.25", {"0", "0.25", "0.5", "0.75", "1"}, ""},
      {"SAT_MASS=0:1:0.3", {"0", "0.3", "0.6", "0.9"}, ""},
      {"SAT_MASS=0.7:1.2:0.1", {"0.7", "0.8", "0.9", "1", "1.1", "1.2"}, ""},
      {"KEY:J=3:1:-1", {"3", "2", "1"}, ""},
      {"KEY:J=5:5:2", {"5"}, ""},
      {"KEY:J=1e2:1.5e2:25", {"100", "125", "150"}, ""},
      // Values far below the ends: rounded at the ends' scale, not at their own.
      {"SAT_OFS_X=-0.3:0.3:0.1", {"-0.3", "-0.2", "-0.1", "0", "0.1", "0.2", "0.3"}, ""},
      {"SAT_OFS_X=-0.9:0.3:0.3", {"-0.9", "-0.6", "-0.3", "0", "0.3"}, ""},
      {"SAT_OFS_X=-1.4:0:0.7", {"-1.4", "-0.7", "0"}, ""},
      {"SAT_OFS_X=-10:-8:0.7", {"-10", "-9.3", "-8.6"}, ""},
      {"SAT_MASS=1:0:1", {}, "the step leads away from the range's end"},
      {"SAT_MASS=0:1:-0.5", {}, "the step leads away from the range's end"},
      {"SAT_MASS=0:1:0", {}, "a range needs finite ends and a step other than 0"},
      {"SAT_MASS=inf:1:1", {}, "a range needs finite ends and a step other than 0"},
      {"SAT_MASS=0:nan:1", {}, "a range needs finite ends and a step other than 0"},
      {"SAT_MASS=0:10000000:1", {}, "more than 10000000 values"},
      {"SAT_MASS=-1e308:1e308:1", {}, "more than 10000000 values"},
      // Not a range: a value for the line's reader to judge.
      {"KEY:J=1:2", {"1:2"}, ""},
      {"SAT_MASS=1:2:3:4", {"1:2:3:4"}, ""},
      {"SAT_MASS=1:x:1", {"1:x:1"}, ""},
      // Lists and tuples.
      {"SAT_MASS= 1 , 2 ,3 ", {"1", "2", "3"}, ""},
      {"PAD=\"5.2 -52.8\",28.5\t -80.6", {"5.2 -52.8", "28.5 -80.6"}, ""},
      {"SAT_NAME=\"a,b\",c", {"a,b", "c"}, ""},
      {"SAT_MASS=1,,2", {}, "an empty value"},
      {"SAT_MASS=1,", {}, "an empty value"},
      {"SAT_MASS=", {}, "an empty value"},
      {"SAT_MASS=\" \"", {}, "an empty value"},
      // Draws, alone or as a field of a tuple; their commas do not split the list.
      {"SAT_MASS=N(950,50),1000", {"N[950,50]", "1000"}, ""},
      {"KEY:E=U(4,6)", {"U[4,6]"}, ""},
      {"KEY:E=U(4, 6)", {"U(4, 6)"}, ""},  // two fields, no draw: the key's reader refuses them
      {"PAD=\"N(5.2,0.1) U(-53,-52)\"", {"N[5.2,0.1] U[-53,-52]"}, ""},
      {"SAT_MASS=N(0,0),U(5,5)", {"N[0,0]", "U[5,5]"}, ""},
      {"SAT_MASS=N(950,-1)", {}, "a standard deviation below 0 in N(950,-1)"},
      {"SAT_MASS=U(6,5)", {}, "an upper end below the lower end in U(6,5)"},
      {"SAT_MASS=N(1)", {}, "expected two numbers in N(1)"},
      {"SAT_MASS=N(1,2,3)", {}, "expected two numbers in N(1,2,3)"},
      {"SAT_MASS=U(a,1)", {}, "expected two numbers in U(a,1)"},
      {"SAT_MASS=U(nan,1)", {}, "expected two numbers in U(nan,1)"},
      {"SAT_MASS=N(0,inf)", {}, "expected two numbers in N(0,inf)"},
      {"SAT_MASS=n(1,2)", {"n(1,2)"}, ""},
      {"=5", {}, "expected NAME=VALUES"},
      {"SAT_MASS", {}, "expected NAME=VALUES"},
  };
  for (const auto& c : cases) {
    VariedInput input;
    std::string error;
    const bool read = ReadVariedInput(c.text, input, error);
    EXPECT_EQ(read, !c.values.empty()) << c.text << ": " << error;
    if (!read) {
      EXPECT_EQ(error.find(std::string("--vary ") + c.text + ": " + c.says), 0u) << error;
      continue;
    }
    std::vector<std::string> values;
    for (const OfferedValue& value : input.values) values.push_back(Describe(value));
    EXPECT_EQ(values, c.values) << c.text;
  }
}

TEST(SweepPoints, RefusesMoreFlightsThanItFlies) {
  VariedInput masses, times, drawn;
  std::string error;
  ASSERT_TRUE(ReadVariedInput("SAT_MASS=1:10000:1", masses, error));
  ASSERT_TRUE(ReadVariedInput("KEY:J=1:1000:1", times, error));
  ASSERT_TRUE(ReadVariedInput("KEY:E=U(4,6)", drawn, error));
  SweepPoints points;
  EXPECT_TRUE(points.Set({masses, times}, 0, 1, error)) << error;
  EXPECT_EQ(points.count(), 10000000u);
  times.values.push_back(times.values.back());  // 10 000 x 1001
  EXPECT_FALSE(points.Set({masses, times}, 0, 1, error));
  EXPECT_EQ(error, "the grid of the --vary options holds more than 10000000 flights");
  EXPECT_FALSE(points.Set({drawn}, 10000001, 1, error));
  EXPECT_EQ(error, "--draws: at most 10000000 flights");
  EXPECT_FALSE(points.Set({masses, drawn}, 0, 1, error));
  EXPECT_EQ(error, "--vary KEY:E: N() and U() are draws: give --draws N");
}

TEST(ScenarioInputs, NamesAndValuesAreReadAsTheirLinesAre) {
  using Place = ScenarioInput::Place;
  struct {
    const char* name;
    Place place;
    const char* key;
    const char* says;  ///< a refusal's words, or empty
  } const names[] = {
      {"SAT_MASS", Place::kModuleLine, "SAT_MASS", ""},
      {"sat_ofs_z", Place::kModuleLine, "SAT_OFS_Z", ""},
      {"PAD", Place::kHostLine, "PAD", ""},
      {"Heading", Place::kHostLine, "HEADING", ""},
      {"TARGET_ORBIT", Place::kHostLine, "TARGET_ORBIT", ""},
      {"until", Place::kHeader, "UNTIL", ""},
      {"KEY:J", Place::kKeyPress, "J", ""},
      {"key:LSHIFT+J", Place::kKeyPress, "LSHIFT+J", ""},
      {"KEY:J,50:K", Place::kKeyPress, "", "KEY:J,50:K: expected one key"},
      {"KEY:NOSUCHKEY", Place::kKeyPress, "", "KEY:NOSUCHKEY: key script: unknown key"},
      {"KEY:", Place::kKeyPress, "", "KEY:: key script"},
      {"KEYS", Place::kHostLine, "", "KEYS: vary a key press's time as KEY:NAME"},
      {"PICTH", Place::kHostLine, "", "PICTH: not an input a sweep varies"},
      {"CONFIGURATION", Place::kHostLine, "", "CONFIGURATION: not an input a sweep varies"},
      {"FOCUS", Place::kHostLine, "", "FOCUS: not an input a sweep varies"},
      {"SAT_COLOUR", Place::kHostLine, "", "SAT_COLOUR: not an input a sweep varies"},
      {"SAT MASS", Place::kHostLine, "", "SAT MASS: expected a scenario key"},
      {"PAD\nEND_VESSEL", Place::kHostLine, "", "expected a scenario key"},
  };
  for (const auto& c : names) {
    ScenarioInput input;
    std::string error;
    const bool read = ReadScenarioInput(c.name, input, error);
    EXPECT_EQ(read, *c.says == 0) << c.name << ": " << error;
    if (read) {
      EXPECT_EQ(input.place, c.place) << c.name;
      EXPECT_EQ(input.key, c.key) << c.name;
    } else {
      EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
    }
  }

  const std::string longest(255, 'n');
  struct {
    const char* name;
    std::string value;
    const char* says;  ///< a refusal's words, or empty
  } const values[] = {
      {"SAT_MASS", "1e9", ""},
      {"SAT_MASS", "1.5e9", "SAT_MASS: expected a mass from 0 to 1e+09 kg, found '1.5e9'"},
      {"SAT_MASS", "5 6", "SAT_MASS"},
      {"SAT_OFS_X", "-1e4", ""},
      {"SHROUD", "1", ""},
      {"SHROUD", "2", "SHROUD: expected 0 or 1, found '2'"},
      {"SAT_NAME", longest, ""},
      {"SAT_NAME", longest + "n", "expected a name of at most 255 characters"},
      {"SAT_NAME", "a b", "SAT_NAME"},
      {"SAT_NAME", "a\tb", "a value holds no control character"},
      {"SAT_NAME", "a#b", "a value holds no control character, '#' or '\"'"},
      {"SAT_NAME", "a\"b", "a value holds no control character, '#' or '\"'"},
      {"SAT_NAME", "a\x7f", "a value holds no control character"},
      {"PAD", "5.2 -52.8", ""},
      {"PAD", "95 0", "PAD: expected a latitude from -90 to 90 deg, found '95'"},
      {"DT", "0.02", ""},
      {"DT", "2", "DT: expected a frame length"},
      {"KEY:J", "0", ""},
      {"KEY:J", "-1", "expected a time of at least 0 s"},
      {"KEY:J", "7:K,5", "KEY:J: expected a time in s, found '7:K,5'"},
      {"KEY:J", "5:E", "unknown key"},
  };
  for (const auto& c : values) {
    ScenarioInput input;
    std::string error;
    ASSERT_TRUE(ReadScenarioInput(c.name, input, error)) << error;
    const bool read = CheckInputValue(input, c.value, error);
    EXPECT_EQ(read, *c.says == 0) << c.name << " " << c.value << ": " << error;
    if (!read) {
      EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
    }
  }
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
