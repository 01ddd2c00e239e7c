#include "sim/world/key_script.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"
#include "sim/world/host_controls.h"

namespace zenthar {

namespace {

struct KeyNameCode {
  const char* name;
  int code;
};

// Set-1 scan codes; extended keys carry bit 7.
constexpr KeyNameCode kKeys[] = {
    {"ESC", 0x01},  {"1", 0x02},        {"2", 0x03},        {"3", 0x04},    {"4", 0x05},
    {"5", 0x06},    {"6", 0x07},        {"7", 0x08},        {"8", 0x09},    {"9", 0x0A},
    {"0", 0x0B},    {"Q", 0x10},        {"W", 0x11},        {"E", 0x12},    {"R", 0x13},
    {"T", 0x14},    {"Y", 0x15},        {"U", 0x16},        {"I", 0x17},    {"O", 0x18},
    {"P", 0x19},    {"LCONTROL", 0x1D}, {"A", 0x1E},        {"S", 0x1F},    {"D", 0x20},
    {"F", 0x21},    {"G", 0x22},        {"H", 0x23},        {"J", 0x24},    {"K", 0x25},
    {"L", 0x26},    {"LSHIFT", 0x2A},   {"Z", 0x2C},        {"X", 0x2D},    {"C", 0x2E},
    {"V", 0x2F},    {"B", 0x30},        {"N", 0x31},        {"M", 0x32},    {"RSHIFT", 0x36},
    {"LALT", 0x38}, {"SPACE", 0x39},    {"RCONTROL", 0x9D}, {"RALT", 0xB8},
};

// The host's own controls, keys of the script beyond the keyboard state the module reads.
constexpr KeyNameCode kHostControls[] = {
    {"ENGINE_UP", static_cast<int>(HostControl::kEngineUp)},
    {"ENGINE_DOWN", static_cast<int>(HostControl::kEngineDown)},
    {"ENGINE_FULL", static_cast<int>(HostControl::kEngineFull)},
    {"ENGINE_CUT", static_cast<int>(HostControl::kEngineCut)},
    {"PITCH_UP", static_cast<int>(HostControl::kPitchUp)},
    {"PITCH_DOWN", static_cast<int>(HostControl::kPitchDown)},
    {"HEADING_LEFT", static_cast<int>(HostControl::kHeadingLeft)},
    {"HEADING_RIGHT", static_cast<int>(HostControl::kHeadingRight)},
    {"AUTOPILOT", static_cast<int>(HostControl::kAutopilot)},
    {"PROGRADE", static_cast<int>(HostControl::kPrograde)},
    {"FOCUS_NEXT", static_cast<int>(HostControl::kFocusNext)},
};

/// Frame index of the first frame at or after time t. A time beyond the last frame that a long
/// can count gives that frame: the press never comes, and the conversion stays defined.
long FirstFrameAtOrAfter(double t, double dt) {
  const double frame = std::ceil(t / dt - 1e-9);
  if (!(frame < static_cast<double>(LONG_MAX))) return LONG_MAX;
  return static_cast<long>(frame);
}

}  // namespace

int KeyScript::KeyCode(const std::string& name) {
  const std::string upper = Upper(name);
  for (const KeyNameCode& key : kKeys)
    if (upper == key.name) return key.code;
  for (const KeyNameCode& control : kHostControls)
    if (upper == control.name) return control.code;
  return -1;
}

std::string KeyScript::KeyName(int code) {
  for (const KeyNameCode& key : kKeys)
    if (code == key.code) return key.name;
  for (const KeyNameCode& control : kHostControls)
    if (code == control.code) return control.name;
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", code);
  return text;
}

bool KeyScript::ReadPresses(const std::string& text, std::vector<ScriptedPress>& presses,
                            std::string& error) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string item = text.substr(start, comma - start);
    start = comma + 1;
    if (item.find_first_not_of(" \t") == std::string::npos) {
      if (comma == text.size()) break;
      error = "key script: an empty press before '" + text.substr(start) + "'";
      return false;
    }
    const auto colon = item.find(':');
    if (colon == std::string::npos) {
      error = "key script: '" + item + "' is not T:KEY";
      return false;
    }
    double time = 0;
    std::string timeError;
    if (!ReadNumber(item.substr(0, colon), kEventTime, time, timeError)) {
      error = "key script: in '" + item + "': " + timeError;
      return false;
    }
    ScriptedPress press{time, {}, item.substr(colon + 1)};
    std::size_t keyStart = 0;
    const std::string& keys = press.text;
    while (keyStart <= keys.size()) {
      std::size_t plus = keys.find('+', keyStart);
      if (plus == std::string::npos) plus = keys.size();
      const std::string name = keys.substr(keyStart, plus - keyStart);
      const int code = KeyCode(name);
      if (code < 0) {
        error = "key script: unknown key '" + name + "' in '" + item + "'";
        return false;
      }
      if (press.keys.size() == kMostKeysPerPress) {
        error = "key script: more than " + std::to_string(kMostKeysPerPress) +
                " keys held together in '" + item + "'";
        return false;
      }
      press.keys.push_back(code);
      keyStart = plus + 1;
    }
    presses.push_back(std::move(press));
  }
  return true;
}

bool KeyScript::Parse(const std::string& text, std::string& error) {
  std::vector<ScriptedPress> read;
  if (!ReadPresses(text, read, error)) return false;
  Add(std::move(read));
  return true;
}

void KeyScript::Add(std::vector<ScriptedPress> presses) {
  const auto earlier = [](const ScriptedPress& a, const ScriptedPress& b) {
    return a.time < b.time;
  };
  std::stable_sort(presses.begin(), presses.end(), earlier);
  const auto middle = static_cast<std::ptrdiff_t>(presses_.size());
  presses_.insert(presses_.end(), std::make_move_iterator(presses.begin()),
                  std::make_move_iterator(presses.end()));
  std::inplace_merge(presses_.begin(), presses_.begin() + middle, presses_.end(), earlier);
  frames_.known = false;
}

void KeyScript::CountFrames(double dt) const {
  frames_.known = true;
  frames_.dt = dt;
  frames_.hold = std::max(std::lround(kHoldTime / dt), 1L);
  frames_.start.clear();
  for (const ScriptedPress& press : presses_)
    frames_.start.push_back(FirstFrameAtOrAfter(press.time, dt));
}

void KeyScript::Apply(long frame, double dt, unsigned char keyState[256]) const {
  std::memset(keyState, 0, 256);
  const Frames& frames = FramesFor(dt);
  // Presses start in time order, so those released before this frame are a leading run.
  auto start = std::upper_bound(frames.start.begin(), frames.start.end(), frame - frames.hold);
  for (; start != frames.start.end() && *start <= frame; ++start)
    for (int key : presses_[static_cast<std::size_t>(start - frames.start.begin())].keys)
      if (key < 256) keyState[key] |= 0x80;
}

std::pair<std::size_t, std::size_t> KeyScript::StartingAt(long frame, double dt) const {
  const std::vector<long>& start = FramesFor(dt).start;
  const auto first = std::upper_bound(start.begin(), start.end(), frame - 1);
  const auto end = std::upper_bound(first, start.end(), frame);
  return {static_cast<std::size_t>(first - start.begin()),
          static_cast<std::size_t>(end - start.begin())};
}

long KeyScript::NextChange(long frame, double dt) const {
  const Frames& frames = FramesFor(dt);
  long next = LONG_MAX;
  const auto start = std::upper_bound(frames.start.begin(), frames.start.end(), frame);
  if (start != frames.start.end()) next = *start;
  // Of the presses held after this frame, the first to start is the first to end.
  const auto held = std::upper_bound(frames.start.begin(), frames.start.end(), frame - frames.hold);
  if (held != frames.start.end() && *held <= LONG_MAX - frames.hold)
    next = std::min(next, *held + frames.hold);
  return next;
}

KeyScript KeyScript::RemainingAfter(long frame, double dt) const {
  KeyScript remaining;
  const double now = static_cast<double>(frame) * dt;
  for (const ScriptedPress& press : presses_) {
    if (FirstFrameAtOrAfter(press.time, dt) < frame) continue;
    ScriptedPress moved = press;
    moved.time = std::max(0.0, press.time - now);
    remaining.presses_.push_back(std::move(moved));  // still in time order
  }
  return remaining;
}

std::string KeyScript::PressText(const ScriptedPress& press) {
  return ShortNumber(press.time) + ":" + press.text;
}

std::string KeyScript::ToString() const {
  std::string text;
  for (const ScriptedPress& press : presses_) {
    if (!text.empty()) text += ",";
    text += PressText(press);
  }
  return text;
}

}  // namespace zenthar
