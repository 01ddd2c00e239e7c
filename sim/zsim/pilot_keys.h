#pragma once

#include <vector>

namespace zenthar::zsim {

/// What a key typed at the terminal asks for, when flying by hand.
struct PilotKey {
  enum Kind {
    kNone,
    kPress,      ///< a press of the key script: a key of the module, or a host control
    kWarpUp,     ///< time warp faster
    kWarpDown,   ///< time warp slower
    kPause,      ///< pause / go on
    kSave,       ///< save the world now
    kHelp,       ///< help on / off
    kQuit,       ///< end the flight
    kInterrupt,  ///< Ctrl-C: end the flight as the signal does
  };
  Kind kind = kNone;
  const char* press = "";  ///< kPress: as the key script writes it ("E", "LSHIFT+J", "ENGINE_UP")
};

/// The meaning of a key as ncurses' getch gives it (arrows as KEY_UP ...).
PilotKey PilotKeyOf(int key);

/// The keys and what they do, a line each, for the help.
const std::vector<const char*>& PilotKeyHelp();

/// One line of the most used keys.
const char* PilotKeySummary();

}  // namespace zenthar::zsim
