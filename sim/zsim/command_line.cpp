#include "sim/zsim/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"
#include "sim/guidance/target_orbit.h"
#include "sim/world/host_limits.h"
#include "sim/world/key_script.h"
#include "sim/zsim/printable.h"

namespace zenthar::zsim {

namespace {

/// A number within the range, read by the host's one reader of numbers.
CLI::Validator Number(const ValueRange& range) {
  return CLI::Validator(
      [&range](std::string& text) -> std::string {
        double value = 0;
        std::string error;
        return ReadNumber(text, range, value, error) ? std::string() : error;
      },
      "");
}

CLI::Validator TargetOrbitText() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        guidance::TargetOrbit target;
        std::string error;
        return guidance::ParseTargetOrbit(text, target, error) ? std::string() : error;
      },
      "");
}

CLI::Validator KeyPresses() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        KeyScript script;
        std::string error;
        return script.Parse(text, error) ? std::string() : error;
      },
      "");
}

constexpr const char* kExamples = R"(
Examples:
  zsim fly scenarios/default.scn
      the default mission: the relay satellite to 500 km circular; files go to ./out
  zsim fly scenarios/default.scn --target 300x1000@51.6
      the same launcher and satellite to a 300 x 1000 km orbit inclined 51.6 degrees
  zsim fly scenarios/default.scn --out run1 --until 200 --save-at 100,134
      fly 200 s, saving the world at 100 s and 134 s (run1/saved_100.scn, ...)
  zsim fly run1/saved_100.scn --out run2
      carry on from a saved world (its time starts at 0 again)
  zsim fly scenarios/open_loop.scn --keys 5:E,60:J --trace
      ignite at 5 s, separate the boosters at 60 s, write the host/module calls to out/trace.log
  zsim fly scenarios/default.scn --realtime 20
      watch the launch at 20 times real speed
  zsim fly scenarios/by_hand.scn --interactive
      fly it yourself; then zsim fly out/replay.scn flies your flight again

Files written to the output folder: events.csv, telemetry.csv, summary.txt, flight.png (with
gnuplot), trace.log (with --trace), saved_T.scn (with --save-at), replay.scn (with --interactive). They appear together when the
flight ends and replace an earlier flight's; a flight that fails leaves the folder as it was.
Ctrl-C or SIGTERM ends the flight at the next frame and writes what was flown.
Exit status: 0 flown, 1 an input or output failed, 2 a bad command line, 130 stopped by Ctrl-C,
143 by SIGTERM (docs/OUTPUT.md).
)";

void AddFlyOptions(CLI::App& fly, FlyOptions& options) {
  fly.add_option("SCENARIO", options.scenario,
                 "Scenario file to fly, e.g. scenarios/default.scn (format: docs/SCENARIO.md)")
      ->required()
      ->type_name("FILE");
  fly.add_option("--out", options.out,
                 "Folder for the flight's files, made if missing (default: out), e.g. --out run1")
      ->type_name("DIR");
  fly.add_option("--dt", options.dt,
                 "Frame length in seconds, 0.0001 to 1, instead of the scenario's DT "
                 "(default 0.01), e.g. --dt 0.005")
      ->type_name("S")
      ->check(Number(kFrameLength));
  fly.add_option("--until", options.until,
                 "Simulation time to stop at, s (default: the scenario's UNTIL, else 60 s after "
                 "the guidance releases the satellite, else 660, or by hand when you quit; a "
                 "flight has at most 100000000 frames), e.g. --until 150")
      ->type_name("S")
      ->check(Number(kFlightTime));
  fly.add_option("--keys", options.keys,
                 "Key presses T:KEY,... each held 0.1 s, instead of the scenario's KEYS; keys "
                 "E (ignite), J (separate), modifiers as LSHIFT+J, e.g. --keys 5:E,60:J")
      ->type_name("T:KEY,...")
      ->check(KeyPresses());
  fly.add_option("--save-at", options.saveAt,
                 "Save the whole world as a scenario at these times (s) to DIR/saved_T.scn; "
                 "the saved file flies on with zsim fly, e.g. --save-at 100,134.5")
      ->delimiter(',')
      ->type_name("T[,T...]")
      ->check(Number(kFlightTime));
  fly.add_option("--target", options.target,
                 "Fly the launcher to this orbit with the guidance, instead of its block's "
                 "TARGET_ORBIT: periapsis x apoapsis in km above the surface (100 to 100000), "
                 "@ inclination in degrees if wanted; E 5 s after the start (docs/GUIDANCE.md), "
                 "e.g. --target 500x500 or --target 300x1000@51.6")
      ->type_name("PxA[@I]")
      ->check(TargetOrbitText());
  fly.add_option("--every", options.every,
                 "Telemetry interval in seconds (default 0.1), e.g. --every 1")
      ->type_name("S")
      ->check(Number(kTelemetryInterval));
  fly.add_option("--module", options.module,
                 "Launcher module library to load instead of the one the class files name, "
                 "e.g. --module build/libvantor.so")
      ->type_name("PATH");
  fly.add_option("--classes", options.classFolder,
                 "Folder of vessel class files (default: the installed or source tree's), "
                 "e.g. --classes classes")
      ->type_name("DIR");
  fly.add_flag("--trace", options.trace,
               "Write every call between host and module to DIR/trace.log (docs/TRACE.md)");
  fly.add_flag("--no-plot", options.noPlot, "Do not draw DIR/flight.png");
  fly.add_option("--realtime", options.realtime,
                 "Pace the flight to the wall clock, FACTOR (0.01 to 1000000) times faster "
                 "(default 1), with a live status line on a terminal; Ctrl-C ends the flight "
                 "early, e.g. --realtime 10")
      ->expected(0, 1)
      ->default_str("1")
      ->type_name("[FACTOR]")
      ->check(Number(kSpeedFactor));
  fly.add_flag("--interactive", options.interactive,
               "Fly by hand in the terminal, in real time, with a flight panel: e ignites, j "
               "separates, h shows the host's controls, q quits; DIR/replay.scn flies the same "
               "flight again headless (docs/SCENARIO.md)");
  fly.add_flag("--quiet", options.quiet,
               "Print nothing but errors and the line that says where the files are");
}

constexpr const char* kSweepExamples = R"(
Examples:
  zsim sweep scenarios/open_loop.scn --vary SAT_MASS=500:3000:500 --vary KEY:J=100,120 --out s1
      a grid of 12 flights: six satellite masses, each with J pressed at 100 s and at 120 s
  zsim sweep scenarios/open_loop.scn --vary 'SAT_MASS=N(950,50)' --vary 'KEY:E=U(4,6)' \
      --draws 1000 --seed 7 --out s2
      a dispersion run of 1000 flights with random inputs
  zsim sweep scenarios/open_loop.scn --vary 'PAD=5.2 -52.8,28.5 -80.6' --out s3
      the launch from two pads (a value of several fields is one item of the list)
  zsim sweep scenarios/open_loop.scn --vary SAT_MASS=500:3000:500 --out s4 --plan
      write the flights as commands to s4/plan.txt: parallel < s4/plan.txt runs them, then
      zsim sweep --collect s4/parts --out s4 makes s4/sweep.csv

DIR/sweep.csv gets one row per flight as it lands (its inputs, the satellite's orbit, the event
times, max q, max g, the propellant left, or why it failed); DIR/sweep.png plots the orbit against
the inputs. The same command started again flies only the flights not yet in DIR/sweep.csv.
Exit status: 0 every flight has its row, 1 an input or output failed, 2 a bad command line, 130
stopped by Ctrl-C (docs/SWEEPS.md).
)";

constexpr const char* kCapabilityExamples = R"(
Examples:
  zsim capability scenarios/default.scn --orbits 300,500,800,1200 --out cap
      the heaviest satellite (SAT_MASS, to 10 kg) the guided launch puts into each circular orbit
      within the guidance's goal; cap/capability.csv, cap/capability.png, cap/flights.csv
  zsim capability scenarios/default.scn --orbits 200x1000,500@51.6 --out cap
      elliptical and inclined orbits as zsim fly --target writes them
)";

/// kg: how closely the capability search brackets the heaviest satellite.
constexpr ValueRange kCapabilityResolution{"a resolution", 0.001, 1e6, "kg"};

/// A whole number from `least` to `most`.
CLI::Validator Count(double least, double most) {
  return CLI::Validator(
      [least, most](std::string& text) -> std::string {
        double value = 0;
        if (ParseNumber(text, value) && value == std::floor(value) && value >= least &&
            value <= most)
          return std::string();
        return "expected a whole number from " + ShortNumber(least) + " to " + ShortNumber(most) +
               ", found '" + text + "'";
      },
      "");
}

void AddSharedOptions(CLI::App& command, std::string& out, std::string& module,
                      std::string& classFolder, bool& quiet) {
  command.add_option("--out", out, "Folder of the results, made if missing, e.g. --out s1")
      ->type_name("DIR")
      ->required();
  command
      .add_option("--module", module,
                  "Launcher module library to load instead of the one the class files name")
      ->type_name("PATH");
  command.add_option("--classes", classFolder, "Folder of vessel class files")->type_name("DIR");
  command.add_flag("--quiet", quiet, "Print nothing but errors and where the results are");
}

void AddSweepOptions(CLI::App& sweep, SweepOptions& options) {
  sweep.add_option("SCENARIO", options.scenario, "Scenario file to fly (docs/SCENARIO.md)")
      ->type_name("FILE");
  sweep
      .add_option(
          "--vary", options.vary,
          "An input and its values, NAME=VALUES: NAME a line of the launcher's block "
          "(SAT_MASS, PAD, TARGET_ORBIT, ...), DT, UNTIL, PLANET_ROTATION, or KEY:J for the "
          "time of a key's first press; VALUES a range a:b:step, a list v1,v2,... (values of "
          "several fields in double quotes), or draws N(mean,sd) and U(lo,hi) with "
          "--draws; several --vary span a grid (docs/SWEEPS.md)")
      ->type_name("NAME=VALUES")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  sweep.add_option("--draws", options.draws, "Fly N flights with inputs drawn at random")
      ->type_name("N")
      ->check(Count(1, 10000000));
  sweep.add_option("--seed", options.seed, "Seed of the draws (default 1)")
      ->type_name("S")
      ->check(Count(0, 1e18));
  sweep.add_option("-j,--jobs", options.jobs, "Flights at once (default: one per core)")
      ->type_name("N")
      ->check(Count(1, 1024));
  sweep.add_flag("--plan", options.plan,
                 "Write the flights as shell commands, one flight each, to DIR/plan.txt instead "
                 "of flying them (GNU parallel, a Slurm job array)");
  sweep
      .add_option("--collect", options.collect,
                  "Make DIR/sweep.csv of the rows in these folders (the planned flights' "
                  "DIR/parts, or their folders one by one)")
      ->type_name("FOLDER...")
      ->expected(1, -1);
  sweep.add_flag("--files", options.files,
                 "Every flight also leaves a flight's files (as zsim fly) in DIR/files/N");
  sweep.add_option("--until", options.until, "Simulation time every flight stops at, s")
      ->type_name("S")
      ->check(Number(kFlightTime));
  sweep
      .add_option("--flight-number", options.flightNumber,
                  "Number the one flight of this sweep N (the planned commands do)")
      ->type_name("N")
      ->check(Count(1, 1e18));
  AddSharedOptions(sweep, options.out, options.module, options.classFolder, options.quiet);
}

void AddCapabilityOptions(CLI::App& capability, CapabilityOptions& options) {
  capability
      .add_option("SCENARIO", options.scenario,
                  "Scenario of a guided launch (a TARGET_ORBIT line, or one is given per orbit)")
      ->type_name("FILE")
      ->required();
  capability
      .add_option("--orbits", options.orbits,
                  "Target orbits: a circular orbit's altitude in km, or PxA[@I] as zsim fly "
                  "--target takes it, e.g. --orbits 300,500,800")
      ->type_name("ORBIT,...")
      ->delimiter(',')
      ->required();
  capability.add_option("-j,--jobs", options.jobs, "Flights at once (default: one per core)")
      ->type_name("N")
      ->check(Count(1, 1024));
  capability
      .add_option("--resolution", options.resolution,
                  "kg: the search stops when the heaviest mass is known to within this "
                  "(default 10)")
      ->type_name("KG")
      ->check(Number(kCapabilityResolution));
  AddSharedOptions(capability, options.out, options.module, options.classFolder, options.quiet);
}

/// The arguments, with "--realtime" not followed by a number written as "--realtime=1": an option
/// whose value may be left out must not take the scenario for it.
std::vector<std::string> RealtimeFactorGiven(int argc, char** argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    double factor = 0;
    if (arguments[i] == "--realtime" &&
        (i + 1 == arguments.size() || !ParseNumber(arguments[i + 1], factor)))
      arguments[i] = "--realtime=1";
  }
  return arguments;
}

/// One line for a command line CLI11 could not read.
int BadCommandLine(const CLI::ParseError& error) {
  std::string message = error.what();
  std::replace(message.begin(), message.end(), '\n', ' ');
  std::fprintf(stderr, "zsim: %s (zsim COMMAND --help explains the options)\n",
               Printable(message).c_str());
  return kExitBadCommandLine;
}

/// The sweep's options that belong together; -1, or kExitBadCommandLine after one line.
int CheckSweep(const CLI::App& sweep, SweepOptions& options) {
  options.untilGiven = sweep.count("--until") > 0;
  const char* wrong = nullptr;
  if (options.collect.empty() && options.scenario.empty())
    wrong = "sweep: a SCENARIO, or --collect FOLDER...";
  else if (!options.collect.empty() && (!options.scenario.empty() || !options.vary.empty()))
    wrong = "sweep --collect takes no SCENARIO and no --vary: it merges rows already flown";
  else if (options.collect.empty() && options.vary.empty())
    wrong = "sweep: at least one --vary NAME=VALUES";
  else if (sweep.count("--seed") > 0 && options.draws == 0)
    wrong = "sweep: --seed goes with --draws";
  if (!wrong) return -1;
  std::fprintf(stderr, "zsim: %s (zsim sweep --help explains the options)\n", wrong);
  return kExitBadCommandLine;
}

}  // namespace

int ReadCommandLine(int argc, char** argv, Command& command) {
  CLI::App app{"zsim: the stand-in Zenthar host. Loads the Vantor launcher module and flies it."};
  app.require_subcommand(1);
  CLI::App* fly = app.add_subcommand(
      "fly", "Fly a scenario headless; print its timeline and write its files to a folder.");
  FlyOptions& options = command.fly;
  AddFlyOptions(*fly, options);
  fly->footer(kExamples);
  CLI::App* sweep = app.add_subcommand(
      "sweep",
      "Fly a scenario many times over, its inputs varied over a grid or drawn at random, in "
      "parallel processes; one row per flight in DIR/sweep.csv.");
  AddSweepOptions(*sweep, command.sweep);
  sweep->footer(kSweepExamples);
  CLI::App* capability = app.add_subcommand(
      "capability",
      "The heaviest satellite the guided launch puts into each target orbit, by bisection on "
      "flights; a table and a payload-versus-altitude chart.");
  AddCapabilityOptions(*capability, command.capability);
  capability->footer(kCapabilityExamples);

  std::vector<std::string> arguments = RealtimeFactorGiven(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::CallForHelp&) {
    std::printf("%s", app.help().c_str());  // the help of the command asked about
    return kExitFlown;
  } catch (const CLI::CallForAllHelp&) {
    std::printf("%s", app.help("", CLI::AppFormatMode::All).c_str());
    return kExitFlown;
  } catch (const CLI::ParseError& error) {
    return BadCommandLine(error);
  }

  if (sweep->parsed()) {
    command.kind = Command::Kind::kSweep;
    return CheckSweep(*sweep, command.sweep);
  }
  if (capability->parsed()) {
    command.kind = Command::Kind::kCapability;
    return -1;
  }
  command.kind = Command::Kind::kFly;
  options.keysGiven = fly->count("--keys") > 0;
  options.untilGiven = fly->count("--until") > 0;
  std::sort(options.saveAt.begin(), options.saveAt.end());
  options.saveAt.erase(std::unique(options.saveAt.begin(), options.saveAt.end()),
                       options.saveAt.end());
  if (!options.saveAt.empty() && options.saveAt.back() > options.until && options.untilGiven) {
    std::fprintf(stderr, "zsim: --save-at %g comes after --until %g: it would never be saved\n",
                 options.saveAt.back(), options.until);
    return kExitBadCommandLine;
  }
  return -1;
}

}  // namespace zenthar::zsim
