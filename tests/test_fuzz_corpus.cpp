// The fuzz targets' committed corpus, replayed on every test run: each input under
// fuzz/corpus/<target>/ goes once through the target's body, which checks its own properties (a
// save reads back, a saved file loads again) and ends the program with the input when one breaks.
// The sanitizer build adds the memory checks. Inputs that once broke something stay in the corpus.

#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "sim/files/scenario_file.h"
#include "tests/support/host_fixture.h"

using namespace zenthar;

namespace {

struct Target {
  const char* name;  ///< folder under fuzz/corpus
  int (*body)(const std::uint8_t*, std::size_t);
};

std::vector<std::string> CorpusFiles(const std::string& folder) {
  std::vector<std::string> files;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return files;
  while (const dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.') files.push_back(folder + "/" + entry->d_name);
  closedir(dir);
  std::sort(files.begin(), files.end());
  return files;
}

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class FuzzCorpus : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzCorpus, EveryInputKeepsItsProperties) {
  const std::vector<std::string> files =
      CorpusFiles(std::string(FUZZ_CORPUS_DIR) + "/" + GetParam().name);
  ASSERT_GE(files.size(), 20u) << "the committed corpus is missing";
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    const std::string input = Contents(path);
    GetParam().body(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus,
                         ::testing::Values(Target{"module_block", FuzzModuleBlock},
                                           Target{"scenario_file", FuzzScenarioFile}),
                         [](const ::testing::TestParamInfo<Target>& info) {
                           return std::string(info.param.name);
                         });

// Found by fuzzing: a key press later than any frame count a long holds converted its frame
// index out of range, and saving then dropped the press.
TEST(FoundByFuzzing, AKeyPressBeyondAnyFrameIsHeldBackAndSaved) {
  std::string saved;
  {
    World world;
    UseProjectFiles(world);
    std::istringstream in(
        "BEGIN_ENVIRONMENT\nKEYS 1e20:J\nEND_ENVIRONMENT\n"
        "BEGIN_VESSEL S:Relaysat\nRPOS 7000000 0 0\nEND_VESSEL\n");
    std::string error;
    ASSERT_TRUE(ReadScenario(world, in, "test.scn", error)) << error;
    world.RunUntil(0.1);
    EXPECT_EQ(world.keyState()[0x24], 0);
    saved = WriteScenario(world);
  }
  World again;
  UseProjectFiles(again);
  std::istringstream in(saved);
  std::string error;
  ASSERT_TRUE(ReadScenario(again, in, "saved.scn", error)) << error << "\n" << saved;
  ASSERT_EQ(again.keyScript().presses().size(), 1u) << saved;
  EXPECT_EQ(again.keyScript().presses()[0].time, 1e20);  // 1e20 - 0.1 rounds back to 1e20
  EXPECT_EQ(again.keyScript().presses()[0].text, "J");
}

// Found by fuzzing: a vessel name that ended in a carriage return was read, but the FOCUS line
// that names it in a saved file lost the carriage return, so the saved file did not load again.
// A carriage return inside a name is refused like any blank; one that ends the line is not part of
// the name.
TEST(FoundByFuzzing, AVesselNameHoldsNoCarriageReturn) {
  struct Case {
    const char* text;
    bool reads;
  };
  const Case cases[] = {
      {"BEGIN_VESSEL Van\r:Relaysat\nEND_VESSEL\n", false},
      {"BEGIN_VESSEL Va\rn:Relaysat\nEND_VESSEL\n", false},
      {"BEGIN_VESSEL Van:Relaysat\r\nPAD 0 0\r\nEND_VESSEL\r\n", true},
  };
  for (const Case& c : cases) {
    World world;
    UseProjectFiles(world);
    std::istringstream in(c.text);
    std::string error;
    EXPECT_EQ(ReadScenario(world, in, "test.scn", error), c.reads)
        << ::testing::PrintToString(c.text);
    if (c.reads) {
      EXPECT_NE(world.Find("Van"), nullptr);
    } else {
      EXPECT_EQ(error.find("test.scn:1: expected 'BEGIN_VESSEL name:class'"), 0u) << error;
    }
  }
}

}  // namespace
