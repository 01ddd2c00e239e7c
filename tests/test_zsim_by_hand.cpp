// zsim flown by hand in a real terminal: tmux runs it in a detached session of a fixed size, the
// test types with send-keys, reads the screen with capture-pane and polls with a deadline. Each
// session has a tmux server of its own, its socket in the session's folder, so tests run side by
// side and leave nothing behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/flight_run.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

/// s: long enough for a loaded machine and the sanitizer build.
constexpr double kDeadline = 60;

std::string Output(const std::string& command) {
  std::string text;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

bool Until(const std::function<bool()>& holds, double seconds = kDeadline) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    if (holds()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    usleep(20000);
  }
}

/// `zsim fly ARGUMENTS --interactive` in a terminal of 100 x 30, in a folder of its own; the
/// script around it records the terminal's modes before and after, and zsim's exit status.
class ByHand {
 public:
  explicit ByHand(const std::string& arguments) : socket_(folder_ / "tmux.socket") {
    std::ofstream(folder_ / "run.sh")
        << "ulimit -c 0\nstty -a > stty_before\n'" << ZSIM_PATH << "' fly " << arguments
        << " --interactive --no-plot\nstatus=$?\nstty -a > stty_after\necho $status > status\n"
        << "exec cat > /dev/null\n";  // the terminal zsim left stays to be read
    Tmux("-f /dev/null new-session -d -x 100 -y 30 -c '" + folder_.path() + "' 'sh run.sh'");
  }
  ~ByHand() { Tmux("kill-server"); }

  std::string Tmux(const std::string& command) const {
    return Output("tmux -S '" + socket_ + "' " + command + " 2>&1");
  }
  void Type(const std::string& keys) const { Tmux("send-keys " + keys); }
  std::string Screen() const { return Tmux("capture-pane -p"); }
  bool Shows(const std::string& text, double seconds = kDeadline) const {
    return Until([&] { return Screen().find(text) != std::string::npos; }, seconds);
  }
  /// s, the mission time on the panel, or -1.
  double MissionTime() const {
    std::smatch match;
    const std::string screen = Screen();
    return std::regex_search(screen, match, std::regex(R"(T\+\s*([0-9.]+) s   warp)"))
               ? std::stod(match[1])
               : -1;
  }
  /// zsim's exit status once it has ended, or -1 at the deadline.
  int Status() const {
    int status = -1;
    Until([&] {
      std::ifstream file(folder_ / "status");
      return static_cast<bool>(file >> status);
    });
    return status;
  }
  /// The process id of zsim, a child of the pane's shell.
  pid_t Zsim() const {
    const std::string shell = std::to_string(std::stoi(Tmux("display-message -p '#{pane_pid}'")));
    std::ifstream children("/proc/" + shell + "/task/" + shell + "/children");
    pid_t child = -1;
    children >> child;
    return child;
  }
  const TempFolder& folder() const { return folder_; }

 private:
  TempFolder folder_;
  std::string socket_;
};

std::vector<std::string> Column(const std::string& csv, std::size_t column) {
  std::vector<std::string> values;
  std::istringstream lines(csv);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string field;
    for (std::size_t i = 0; i <= column && std::getline(fields, field, ','); ++i) {
    }
    values.push_back(field);
  }
  return values;
}

TEST(ZsimByHand, TmuxIsThere) {
  ASSERT_EQ(0, std::system("tmux -V > /dev/null 2>&1"))
      << "tmux is missing: tools/install-deps.sh installs it";
}

TEST(ZsimByHand, APilotFliesTheLaunchAndItsReplayFliesTheSameFlightHeadless) {
  const ByHand zsim("'" + ScenarioPath("by_hand.scn") + "'");
  ASSERT_TRUE(zsim.Shows("on the pad")) << zsim.Screen();
  zsim.Type("e");
  ASSERT_TRUE(zsim.Shows("booster burn")) << zsim.Screen();
  ASSERT_TRUE(zsim.Shows("main engine ignition")) << zsim.Screen();

  // J with Shift held: the module refuses it, the boosters stay.
  zsim.Type("J");
  ASSERT_TRUE(zsim.Shows("LSHIFT+J at")) << zsim.Screen();
  const double refused = zsim.MissionTime();
  ASSERT_TRUE(Until([&] { return zsim.MissionTime() > refused + 1.5; })) << zsim.Screen();
  EXPECT_EQ(std::string::npos, zsim.Screen().find("booster separation")) << zsim.Screen();

  // Paused, mission time stands still.
  zsim.Type("p");
  ASSERT_TRUE(zsim.Shows("PAUSED")) << zsim.Screen();
  const double paused = zsim.MissionTime();
  EXPECT_FALSE(Until([&] { return zsim.MissionTime() != paused; }, 1.0)) << zsim.Screen();
  zsim.Type("p");
  ASSERT_TRUE(Until([&] { return zsim.MissionTime() > paused; })) << zsim.Screen();

  // j separates the boosters long before their burn is out.
  zsim.Type("j");
  ASSERT_TRUE(zsim.Shows("booster separation")) << zsim.Screen();
  EXPECT_LT(zsim.MissionTime(), 60);
  zsim.Type("Up s");
  ASSERT_TRUE(zsim.Shows("world saved")) << zsim.Screen();
  zsim.Type("q");
  ASSERT_EQ(0, zsim.Status()) << zsim.Screen();

  const TempFolder& folder = zsim.folder();
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder / "out"))
    files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  ASSERT_EQ(6u, files.size());
  EXPECT_EQ((std::vector<std::string>{"events.csv", "flight.kml", "replay.scn"}),
            std::vector<std::string>(files.begin(), files.begin() + 3));
  EXPECT_EQ(0u, files[3].rfind("saved_", 0)) << files[3];
  const std::string replay = ReadTextFile(folder / "out/replay.scn");
  for (const char* press : {":E,", ":LSHIFT+J,", ":J,", ":PITCH_UP"})
    EXPECT_NE(std::string::npos, replay.find(press)) << press << "\n" << replay;

  // Headless, the replay flies the same frames, saves at the same moment and stops there.
  const std::string again = "cd '" + folder.path() + "' && '" + ZSIM_PATH +
                            "' fly out/replay.scn --out replay --no-plot --quiet > /dev/null";
  ASSERT_EQ(0, std::system(again.c_str()));
  EXPECT_TRUE(fs::exists(folder / ("replay/" + files[3])));
  EXPECT_EQ(ReadTextFile(folder / "out/telemetry.csv"),
            ReadTextFile(folder / "replay/telemetry.csv"));
  const std::string events = ReadTextFile(folder / "out/events.csv");
  const std::string replayed = ReadTextFile(folder / "replay/events.csv");
  for (std::size_t column : {0, 1, 2}) EXPECT_EQ(Column(events, column), Column(replayed, column));
}

TEST(ZsimByHand, EveryEndGivesTheTerminalBack) {
  struct {
    const char* how;
    int signal;  ///< sent to zsim, or 0: the keys typed
    int status;
    bool files;
  } const cases[] = {
      {"C-c", 0, 130, true}, {"", SIGTERM, 143, true}, {"", SIGSEGV, 128 + SIGSEGV, false}};
  for (const auto& c : cases) {
    const ByHand zsim("'" + ScenarioPath("default.scn") + "' --realtime 10");
    ASSERT_TRUE(zsim.Shows("booster burn")) << zsim.Screen();
    if (c.signal)
      kill(zsim.Zsim(), c.signal);
    else
      zsim.Type(c.how);
    EXPECT_EQ(c.status, zsim.Status()) << c.how << c.signal;
    const TempFolder& folder = zsim.folder();
    EXPECT_EQ(ReadTextFile(folder / "stty_before"), ReadTextFile(folder / "stty_after"));
    // The full screen left, the cursor shown, once tmux has read all zsim wrote.
    EXPECT_TRUE(Until(
        [&] { return zsim.Tmux("display-message -p '#{alternate_on} #{cursor_flag}'") == "0 1\n"; },
        10))
        << zsim.Screen();
    EXPECT_EQ(c.files, fs::exists(folder / "out/replay.scn")) << c.signal;
    EXPECT_EQ(c.files, fs::exists(folder / "out/events.csv")) << c.signal;
  }
  // Off a terminal: one line, exit status 2.
  const std::string offTerminal = std::string("'") + ZSIM_PATH + "' fly '" +
                                  ScenarioPath("by_hand.scn") +
                                  "' --interactive < /dev/null 2>&1; echo $?";
  EXPECT_EQ("zsim: --interactive: standard input and output must be a terminal\n2\n",
            Output(offTerminal));
}

}  // namespace
