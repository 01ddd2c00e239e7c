#include "sim/zsim/curses_library.h"

#include <dlfcn.h>

namespace zenthar::zsim {

namespace {

CursesLibrary library;
bool loaded = false;

template <typename Pointer>
bool Find(void* handle, const char* name, Pointer& pointer, std::string& missing) {
  void* symbol = dlsym(handle, name);
  if (!symbol) missing += std::string(missing.empty() ? "" : ", ") + name;
  pointer = reinterpret_cast<Pointer>(symbol);
  return symbol != nullptr;
}

}  // namespace

bool LoadCurses(std::string& error) {
  if (loaded) return true;
  const char* const kName = "libncursesw.so.6";
  // Kept loaded to the end of zsim: the terminal is given back at exit as well.
  void* handle = dlopen(kName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    error = std::string("the terminal library ") + kName +
            " does not load: " + (reason ? reason : "unknown reason");
    return false;
  }
  CursesLibrary& c = library;
  std::string missing;
  // Every name is looked up, so that the error lists all that are missing.
  bool found = Find(handle, "initscr", c.startScreen, missing);
  found &= Find(handle, "endwin", c.endScreen, missing);
  found &= Find(handle, "raw", c.rawKeys, missing);
  found &= Find(handle, "noecho", c.noEcho, missing);
  found &= Find(handle, "nonl", c.noNewline, missing);
  found &= Find(handle, "keypad", c.keypadKeys, missing);
  found &= Find(handle, "curs_set", c.cursorVisibility, missing);
  found &= Find(handle, "set_escdelay", c.escapeDelay, missing);
  found &= Find(handle, "tigetstr", c.capability, missing);
  found &= Find(handle, "wtimeout", c.keyTimeout, missing);
  found &= Find(handle, "wgetch", c.nextKey, missing);
  found &= Find(handle, "mvwaddnstr", c.putText, missing);
  found &= Find(handle, "werase", c.eraseWindow, missing);
  found &= Find(handle, "wattron", c.attributeOn, missing);
  found &= Find(handle, "wattroff", c.attributeOff, missing);
  found &= Find(handle, "wrefresh", c.refreshWindow, missing);
  found &= Find(handle, "stdscr", c.screen, missing);
  found &= Find(handle, "LINES", c.height, missing);
  found &= Find(handle, "COLS", c.width, missing);
  if (!found) {
    error = std::string("the terminal library ") + kName + " lacks " + missing;
    dlclose(handle);
    return false;
  }
  loaded = true;
  return true;
}

const CursesLibrary& Curses() {
  return library;
}

}  // namespace zenthar::zsim
