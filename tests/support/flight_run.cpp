#include "tests/support/flight_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/engine_types.h"
#include "sim/files/scenario_file.h"
#include "sim/physics/launch_pad.h"
#include "tests/support/host_fixture.h"

using namespace zenthar;

namespace {

const double PAD_LATITUDE = 5.2;     // deg
const double PAD_LONGITUDE = -52.8;  // deg

}  // namespace

std::unique_ptr<World> NewWorld() {
  auto world = std::make_unique<World>();
  UseProjectFiles(*world);
  return world;
}

std::unique_ptr<World> WorldFromText(const std::string& text) {
  auto world = NewWorld();
  std::istringstream in(text);
  std::string error;
  if (!ReadScenario(*world, in, "scenario", error)) {
    ADD_FAILURE() << error << "\n" << text;
    return nullptr;
  }
  return world;
}

std::unique_ptr<World> WorldFromFile(const std::string& path) {
  auto world = NewWorld();
  std::string error;
  if (!LoadScenarioFile(*world, path, error)) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  return world;
}

std::unique_ptr<World> WorldOnPad(const std::string& launcherName, const std::string& keys) {
  auto world = NewWorld();
  std::string error;
  VesselState* launcher = world->CreateVessel(launcherName, "Vantor", VESSELSTATUS{}, error);
  if (!launcher || !world->keyScript().Parse(keys, error)) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  PlaceOnPad(*launcher, world->planet, PAD_LATITUDE, PAD_LONGITUDE, world->time());
  world->SetFocus(launcher);
  return world;
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) ADD_FAILURE() << path << ": cannot be read";
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

long FrameOf(double time, double dt) {
  return std::lround(time / dt);
}

double TimeOf(long frame, double dt) {
  return static_cast<double>(frame) * dt;
}

long FirstFrameAfter(double start, double span, double dt) {
  // Start a little before the boundary and let the same arithmetic as the flight decide.
  long frame = std::max(0L, static_cast<long>(std::floor((start + span) / dt)) - 2);
  while (!(TimeOf(frame, dt) - start > span)) ++frame;
  return frame;
}

std::vector<HostEvent> StepOnce(World& world) {
  const std::size_t before = world.events().size();
  world.Step();
  return {world.events().begin() + static_cast<long>(before), world.events().end()};
}

std::vector<HostEvent> FlyUntil(World& world, double t) {
  const std::size_t before = world.events().size();
  world.RunUntil(t);
  return {world.events().begin() + static_cast<long>(before), world.events().end()};
}

long FlyUntilEvent(World& world, const std::string& kind, double limit) {
  while (world.time() < limit) {
    const long frame = world.frame();
    for (const HostEvent& event : StepOnce(world))
      if (event.kind == kind) return frame;
  }
  return -1;
}

bool ExpectEventsFrom(const std::vector<HostEvent>& reference,
                      const std::vector<HostEvent>& resumed, long savedFrame, long framesOff,
                      double dt, long impactFramesOff) {
  std::vector<HostEvent> expected;
  for (const HostEvent& event : reference)
    if (FrameOf(event.time, dt) >= savedFrame) expected.push_back(event);
  EXPECT_EQ(expected.size(), resumed.size());
  bool onFrame = expected.size() == resumed.size();
  for (std::size_t i = 0; i < std::min(expected.size(), resumed.size()); ++i) {
    SCOPED_TRACE(expected[i].kind + " " + expected[i].vessel);
    EXPECT_EQ(expected[i].kind, resumed[i].kind);
    EXPECT_EQ(expected[i].vessel, resumed[i].vessel);
    EXPECT_EQ(expected[i].detail, resumed[i].detail);
    const long offset = FrameOf(resumed[i].time, dt) + savedFrame - FrameOf(expected[i].time, dt);
    EXPECT_LE(std::labs(offset),
              expected[i].kind == "impact" && impactFramesOff >= 0 ? impactFramesOff : framesOff);
    onFrame = onFrame && offset == 0;
  }
  return onFrame;
}

std::vector<VesselEnd> VesselEnds(const World& world) {
  std::vector<VesselEnd> ends;
  for (const auto& v : world.vessels())
    ends.push_back(
        {v->name, v->className, v->position, v->velocity, v->Mass(), v->landed, v->impacted});
  return ends;
}

std::vector<HostEvent> EventsOfKind(const std::vector<HostEvent>& events, const std::string& kind) {
  std::vector<HostEvent> found;
  for (const HostEvent& event : events)
    if (event.kind == kind) found.push_back(event);
  return found;
}

std::vector<std::string> VesselList(const World& world) {
  std::vector<std::string> list;
  for (const auto& vessel : world.vessels()) list.push_back(vessel->name + ":" + vessel->className);
  return list;
}

std::vector<std::string> VesselBlock(const std::string& scenario, const std::string& name) {
  std::istringstream in(scenario);
  std::vector<std::string> block;
  std::string line;
  bool inside = false;
  const std::string begin = "BEGIN_VESSEL " + name + ":";
  while (std::getline(in, line)) {
    if (inside && line == "END_VESSEL") return block;
    if (inside) block.push_back(line);
    if (line.compare(0, begin.size(), begin) == 0) inside = true;
  }
  ADD_FAILURE() << "no complete block of " << name << " in\n" << scenario;
  return block;
}

std::vector<std::string> KeysOf(const std::vector<std::string>& lines) {
  std::vector<std::string> keys;
  for (const std::string& line : lines) keys.push_back(line.substr(0, line.find(' ')));
  return keys;
}

std::string ValueOf(const std::vector<std::string>& lines, const std::string& key) {
  for (const std::string& line : lines)
    if (line.compare(0, key.size() + 1, key + " ") == 0) return line.substr(key.size() + 1);
  return {};
}
