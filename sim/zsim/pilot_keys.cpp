#include "sim/zsim/pilot_keys.h"

#include <curses.h>

namespace zenthar::zsim {

namespace {

constexpr int kControl = 0x1f;  // Ctrl-X gives the letter's code & 0x1f
constexpr int kEscape = 27;

struct Binding {
  int key;
  PilotKey meaning;
};

// The module reads E and J, Shift and Control; the host's own controls are on keys it does not.
const Binding kBindings[] = {
    {'e', {PilotKey::kPress, "E"}},
    {'j', {PilotKey::kPress, "J"}},
    {'E', {PilotKey::kPress, "LSHIFT+E"}},
    {'J', {PilotKey::kPress, "LSHIFT+J"}},
    {'e' & kControl, {PilotKey::kPress, "LCONTROL+E"}},
    {'j' & kControl, {PilotKey::kPress, "LCONTROL+J"}},
    {'+', {PilotKey::kPress, "ENGINE_UP"}},
    {'=', {PilotKey::kPress, "ENGINE_UP"}},
    {'-', {PilotKey::kPress, "ENGINE_DOWN"}},
    {'z', {PilotKey::kPress, "ENGINE_FULL"}},
    {'x', {PilotKey::kPress, "ENGINE_CUT"}},
    {KEY_UP, {PilotKey::kPress, "PITCH_UP"}},
    {KEY_DOWN, {PilotKey::kPress, "PITCH_DOWN"}},
    {KEY_LEFT, {PilotKey::kPress, "HEADING_LEFT"}},
    {KEY_RIGHT, {PilotKey::kPress, "HEADING_RIGHT"}},
    {'a', {PilotKey::kPress, "AUTOPILOT"}},
    {'g', {PilotKey::kPress, "PROGRADE"}},
    {'\t', {PilotKey::kPress, "FOCUS_NEXT"}},
    {'.', {PilotKey::kWarpUp}},
    {',', {PilotKey::kWarpDown}},
    {'p', {PilotKey::kPause}},
    {' ', {PilotKey::kPause}},
    {'s', {PilotKey::kSave}},
    {'h', {PilotKey::kHelp}},
    {'?', {PilotKey::kHelp}},
    {'q', {PilotKey::kQuit}},
    {kEscape, {PilotKey::kQuit}},
    {'c' & kControl, {PilotKey::kInterrupt}},
};

}  // namespace

PilotKey PilotKeyOf(int key) {
  for (const Binding& binding : kBindings)
    if (binding.key == key) return binding.meaning;
  return {};
}

const std::vector<const char*>& PilotKeyHelp() {
  static const std::vector<const char*> help = {
      "e            ignite the main engine (the module's E)",
      "j            separate boosters, jettison the fairing, release the satellite (J)",
      "E J ^E ^J    E or J with Shift or Control held: the module refuses them",
      "+ or =  -    main engine level up / down by 10 %",
      "z  x         main engine full / cut-off",
      "arrows       nose 1 degree up / down, heading 1 degree left / right",
      "a            autopilot (guidance to the target, or pitch program) on / off",
      "g            prograde hold on / off",
      "Tab          input focus to the next vessel",
      ".  ,         time warp faster / slower",
      "p or space   pause / go on",
      "s            save the world now (to the output folder)",
      "h or ?       this help on / off",
      "q or Esc     end the flight: its files and replay.scn",
  };
  return help;
}

const char* PilotKeySummary() {
  return "e ignite  j separate  h help  q quit  p pause  . , warp  s save  arrows steer";
}

}  // namespace zenthar::zsim
