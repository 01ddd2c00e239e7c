#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zenthar {

/// One scripted key press: the keys held down together for a while from a time on.
struct ScriptedPress {
  double time;            ///< s, simulation time at or after which the press starts
  std::vector<int> keys;  ///< set-1 scan codes, modifiers first ("LSHIFT+J"); host controls from
                          ///< 0x100 on (HostControl)
  std::string text;       ///< as written, "LSHIFT+J"
};

/// Key presses given as "T:KEY,T:KEY" ("5:E,140:J,200:LSHIFT+J").
class KeyScript {
 public:
  /// How long a scripted press holds its keys down (s).
  static constexpr double kHoldTime = 0.1;

  /// Reads the presses of a script and appends them, in the order written, to `presses`. False
  /// with the reason when a press cannot be read: a time that is not a finite number of seconds
  /// from 0 on, an unknown key, more than kMostKeysPerPress keys, an empty press.
  static bool ReadPresses(const std::string& text, std::vector<ScriptedPress>& presses,
                          std::string& error);
  /// Reads a script and adds its presses; false with the reason, adding nothing, when a press
  /// cannot be read.
  bool Parse(const std::string& text, std::string& error);
  /// Adds presses, in any order; presses of the same time keep the order in which they came.
  void Add(std::vector<ScriptedPress> presses);
  const std::vector<ScriptedPress>& presses() const { return presses_; }

  /// Sets bit 7 in keyState for every key held in the frame (the buffer is cleared first); host
  /// controls are not keys of that state. A press starts at the first frame at or after its time
  /// and is held for kHoldTime. Costs the presses held in the frame and a binary search, not all
  /// of them.
  void Apply(long frame, double dt, unsigned char keyState[256]) const;
  /// The presses that start in the frame: indices [first, end) of presses().
  std::pair<std::size_t, std::size_t> StartingAt(long frame, double dt) const;
  /// The first frame after `frame` at which a press starts or ends, LONG_MAX when none does: until
  /// then the keys held stay as they are in `frame` and no press starts.
  long NextChange(long frame, double dt) const;

  /// The presses that have not started by the given frame, moved earlier by its time: what a file
  /// saved then keeps.
  KeyScript RemainingAfter(long frame, double dt) const;

  /// The scan code of a key name ("E", "J", "LSHIFT", "RCONTROL", "LALT", ...) or the code of a
  /// host control ("ENGINE_UP", ...), or -1.
  static int KeyCode(const std::string& name);
  /// The name of a scan code, or its number in hex.
  static std::string KeyName(int code);
  /// A press as a script writes it, "140:J", its time in the fewest digits that read back as it.
  static std::string PressText(const ScriptedPress& press);
  std::string ToString() const;

 private:
  /// Where the presses fall in frames of one length: the frame each starts at, in the presses'
  /// order, and how many frames a press is held.
  struct Frames {
    bool known = false;
    double dt = 0;  ///< s, the frame length they are for
    long hold = 1;
    std::vector<long> start;
  };
  /// The presses' frames for frames of dt (s), worked out once per frame length and script, since
  /// the host asks every frame.
  const Frames& FramesFor(double dt) const {
    if (!frames_.known || frames_.dt != dt) CountFrames(dt);
    return frames_;
  }
  void CountFrames(double dt) const;

  std::vector<ScriptedPress> presses_;  // in time order
  mutable Frames frames_;               // a cache of FramesFor; Add forgets it
};

}  // namespace zenthar
