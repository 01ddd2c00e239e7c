#include "sim/zsim/curses_library.h"

#include <dlfcn.h>

namespace zenthar::zsim {

namespace {

CursesLibrary library;
bool loaded = false;

template <typename Pointer>
void Find(void* handle, const char* name, Pointer& pointer, std::string& missing) {
  void* symbol = dlsym(handle, name);
  if (!symbol) missing += std::string(missing.empty() ? "" : ", ") + name;
  pointer = reinterpret_cast<Pointer>(symbol);
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
  Find(handle, "initscr", c.startScreen, missing);
  Find(handle, "endwin", c.endScreen, missing);
  Find(handle, "raw", c.rawKeys, missing);
  Find(handle, "noecho", c.noEcho, missing);
  Find(handle, "nonl", c.noNewline, missing);
  Find(handle, "keypad", c.keypadKeys, missing);
  Find(handle, "curs_set", c.cursorVisibility, missing);
  Find(handle, "set_escdelay", c.escapeDelay, missing);
  Find(handle, "tigetstr", c.capability, missing);
  Find(handle, "wtimeout", c.keyTimeout, missing);
  Find(handle, "wgetch", c.nextKey, missing);
  Find(handle, "mvwaddnstr", c.putText, missing);
  Find(handle, "werase", c.eraseWindow, missing);
  Find(handle, "wattron", c.attributeOn, missing);
  Find(handle, "wattroff", c.attributeOff, missing);
  Find(handle, "wrefresh", c.refreshWindow, missing);
  Find(handle, "stdscr", c.screen, missing);
  Find(handle, "LINES", c.height, missing);
  Find(handle, "COLS", c.width, missing);
  if (!missing.empty()) {
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
