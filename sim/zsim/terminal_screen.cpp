#include "sim/zsim/terminal_screen.h"

#include <termios.h>
#include <unistd.h>

#include <cstring>

#include "sim/zsim/curses_library.h"

namespace zenthar::zsim {

namespace {

const int kFatal[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT};

// What the fatal-signal handler gives back; set before it is installed.
struct termios savedModes;
char resetSequence[512];
std::size_t resetLength = 0;
// A crash by a stack overflow still has a stack to restore the terminal on.
char handlerStack[1 << 16];

/// Leaves the full screen: its end, the cursor shown, plain text, the keypad as it was.
void BuildResetSequence() {
  resetLength = 0;
  const char* const capabilities[] = {"rmcup", "cnorm", "sgr0", "rmkx"};
  for (const char* capability : capabilities) {
    const char* text = Curses().capability(capability);
    if (!text || text == reinterpret_cast<char*>(-1)) continue;
    const std::size_t length = std::strlen(text);
    if (resetLength + length + 2 > sizeof resetSequence) break;
    std::memcpy(resetSequence + resetLength, text, length);
    resetLength += length;
  }
  std::memcpy(resetSequence + resetLength, "\r\n", 2);
  resetLength += 2;
}

extern "C" void OnFatalSignal(int signal) {
  tcsetattr(STDIN_FILENO, TCSANOW, &savedModes);
  if (write(STDOUT_FILENO, resetSequence, resetLength) < 0) {
    // Nothing more can be done for the terminal here.
  }
  // The handler was reset to the default on entry, and the signal is not held: this ends zsim as
  // the signal would have.
  raise(signal);
}

}  // namespace

bool TerminalScreen::Load(std::string& error) {
  return LoadCurses(error);
}

TerminalScreen::TerminalScreen() {
  const CursesLibrary& curses = Curses();
  tcgetattr(STDIN_FILENO, &savedModes);
  curses.startScreen();
  curses.rawKeys();
  curses.noEcho();
  curses.noNewline();
  curses.keypadKeys(*curses.screen, TRUE);
  curses.cursorVisibility(0);
  curses.escapeDelay(25);  // ms: Esc alone, not the start of an arrow's sequence
  BuildResetSequence();

  stack_t stack = {};
  stack.ss_sp = handlerStack;
  stack.ss_size = sizeof handlerStack;
  sigaltstack(&stack, &previousStack_);
  struct sigaction action = {};
  action.sa_handler = OnFatalSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND | SA_NODEFER | SA_ONSTACK;
  for (int i = 0; i < kFatalSignals; ++i) sigaction(kFatal[i], &action, &previous_[i]);
}

TerminalScreen::~TerminalScreen() {
  Curses().endScreen();
  for (int i = 0; i < kFatalSignals; ++i) sigaction(kFatal[i], &previous_[i], nullptr);
  sigaltstack(&previousStack_, nullptr);
}

int TerminalScreen::NextKey(int waitMs) {
  const CursesLibrary& curses = Curses();
  curses.keyTimeout(*curses.screen, waitMs);
  int key = curses.nextKey(*curses.screen);
  // ncurses has taken the new size in; the next panel is drawn to it.
  while (key == KEY_RESIZE) key = curses.nextKey(*curses.screen);
  return key;
}

}  // namespace zenthar::zsim
