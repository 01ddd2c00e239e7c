#pragma once

#include <string>

// ncurses last: its macros would rename what comes after it. Only its types and constants are
// used directly; its calls go through CursesLibrary.
#include <curses.h>

namespace zenthar::zsim {

/// The calls of the terminal library (ncurses, wide characters) that a flight by hand makes. zsim
/// is not linked to the library but looks these up when a flight by hand starts: loading it costs
/// about a millisecond of CPU at every start, which a headless flight, and every flight of a
/// sweep, would pay for nothing. The names differ from ncurses' own, many of which are macros.
struct CursesLibrary {
  decltype(&::initscr) startScreen;
  decltype(&::endwin) endScreen;
  decltype(&::raw) rawKeys;
  decltype(&::noecho) noEcho;
  decltype(&::nonl) noNewline;
  decltype(&::keypad) keypadKeys;
  decltype(&::curs_set) cursorVisibility;
  decltype(&::set_escdelay) escapeDelay;
  decltype(&::tigetstr) capability;
  decltype(&::wtimeout) keyTimeout;
  decltype(&::wgetch) nextKey;
  decltype(&::mvwaddnstr) putText;
  decltype(&::werase) eraseWindow;
  decltype(&::wattron) attributeOn;
  decltype(&::wattroff) attributeOff;
  decltype(&::wrefresh) refreshWindow;
  WINDOW** screen;  ///< the library's stdscr
  int* height;      ///< the library's LINES: the screen's rows
  int* width;       ///< the library's COLS: the screen's columns
};

/// Loads the library once (libncursesw.so.6) and looks up its calls; the same after that. False,
/// with the reason, when it or one of its calls is missing.
bool LoadCurses(std::string& error);

/// The calls, once LoadCurses succeeded.
const CursesLibrary& Curses();

}  // namespace zenthar::zsim
