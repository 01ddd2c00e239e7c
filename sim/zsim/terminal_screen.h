#pragma once

#include <csignal>
#include <string>

namespace zenthar::zsim {

/// The terminal as a full screen for a flight flown by hand (ncurses): keys as they are typed, raw
/// (Ctrl-C, Ctrl-E and Ctrl-J are keys; nonl() tells Ctrl-J from Enter), not echoed, arrows and
/// Esc as one key each. Given back as it was when this ends; a fatal signal (a crash) gives it back
/// from its handler with what is safe there (the terminal's modes and the reset sequence, written
/// with write(2)), then ends zsim as the signal would have.
class TerminalScreen {
 public:
  /// Loads the terminal library, which zsim loads only to fly by hand; before the first screen.
  /// False, with the reason, when it does not load. Asked here rather than of the library itself,
  /// so that a file which draws nothing never includes <curses.h>, whose macros rename words.
  static bool Load(std::string& error);

  TerminalScreen();
  ~TerminalScreen();
  TerminalScreen(const TerminalScreen&) = delete;
  TerminalScreen& operator=(const TerminalScreen&) = delete;

  /// The next key typed (as ncurses' getch gives it), or -1 when none came within `waitMs`. A
  /// change of the terminal's size is taken in on the way.
  int NextKey(int waitMs);

 private:
  static constexpr int kFatalSignals = 6;  ///< SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT
  struct sigaction previous_[kFatalSignals];
  stack_t previousStack_;
};

}  // namespace zenthar::zsim
