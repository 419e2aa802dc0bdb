// The console on a POSIX machine. On a terminal, key presses are read in non-canonical
// mode without echo, and lines with the terminal's own editing; the terminal's settings
// are put back on every way out. Otherwise standard input is one byte stream: lines
// answer the prompts and every byte is a key press, all taken from the same buffer.
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "run/console_io.h"
#include "run/input_buffer.h"

namespace doc {

namespace {

constexpr int kIn = 0;
constexpr int kOut = 1;
constexpr unsigned char kEscape = 27;
// How long the rest of an escape sequence may take to arrive after its ESC byte; a lone
// Escape key sends nothing after it.
constexpr int kSequenceWaitMs = 30;

struct PosixConsole {
  bool ready = false;
  bool terminal = false;
  bool keyMode = false;  // the terminal is in non-canonical mode without echo
  termios saved{};
  Text input;            // bytes read from standard input and not yet used
  bool inputEnded = false;
};

PosixConsole& console() {
  static PosixConsole state;
  return state;
}

// Only what is safe in a signal handler: put the terminal back, then die of the signal.
volatile sig_atomic_t savedValid = 0;
termios savedForSignals{};

void restoreOnSignal(int signalNumber) {
  if (savedValid) tcsetattr(kIn, TCSANOW, &savedForSignals);
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

void restoreAtExit() { consoleRestore(); }

void setUp() {
  PosixConsole& c = console();
  if (c.ready) return;
  c.ready = true;
  // A reader that went away must not end the run with a signal: its output is dropped.
  signal(SIGPIPE, SIG_IGN);
  if (isatty(kIn) && tcgetattr(kIn, &c.saved) == 0) {
    c.terminal = true;
    savedForSignals = c.saved;
    savedValid = 1;
    std::atexit(restoreAtExit);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) signal(s, restoreOnSignal);
  }
}

void setKeyMode(bool on) {
  PosixConsole& c = console();
  if (!c.terminal || c.keyMode == on) return;
  termios mode = c.saved;
  if (on) {
    mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    mode.c_cc[VMIN] = 0;
    mode.c_cc[VTIME] = 0;
  }
  // TCSANOW keeps what was typed ahead for the next read.
  tcsetattr(kIn, TCSANOW, &mode);
  c.keyMode = on;
}

// Waits up to timeoutMs (-1: without end) for input; false when none is there.
bool inputReady(int timeoutMs) {
  pollfd in{kIn, POLLIN, 0};
  for (;;) {
    const int n = poll(&in, 1, timeoutMs);
    if (n >= 0) return n > 0;
    if (errno != EINTR) return true;  // let the read report what is wrong
  }
}

// Appends what one read gives to the input buffer; false at the end of input.
bool readMore() {
  PosixConsole& c = console();
  char chunk[4096];
  for (;;) {
    const ssize_t n = read(kIn, chunk, sizeof chunk);
    if (n > 0) {
      c.input.append(chunk, static_cast<size_t>(n));
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return true;
    c.inputEnded = true;
    return false;
  }
}

// A terminal key press from the front of the input buffer: an escape sequence (ESC [ ...
// final byte, or ESC O and one byte) is one key without a character.
Text takeTerminalKey() {
  PosixConsole& c = console();
  const unsigned char first = static_cast<unsigned char>(c.input[0]);
  if (first == kEscape && c.input.size() == 1 && inputReady(kSequenceWaitMs)) readMore();
  if (first != kEscape || c.input.size() == 1 ||
      (c.input[1] != '[' && c.input[1] != 'O')) {
    Text key = c.input.substr(0, 1);
    c.input.erase(0, 1);
    return key;
  }
  size_t end = 2;
  if (c.input[1] == 'O') {
    end = 3;
  } else {
    for (;;) {
      while (end < c.input.size()) {
        const unsigned char b = static_cast<unsigned char>(c.input[end]);
        if (b >= 0x40 && b <= 0x7E) break;
        ++end;
      }
      if (end < c.input.size() || !inputReady(kSequenceWaitMs) || !readMore()) break;
    }
    ++end;
  }
  if (end > c.input.size()) end = c.input.size();
  Text key = "\xFF";
  key.push_back(c.input[end - 1]);
  c.input.erase(0, end);
  return key;
}

}  // namespace

void consoleWrite(TextView bytes) {
  setUp();
  while (!bytes.empty()) {
    const ssize_t n = write(kOut, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nobody reads the output any more
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

bool consoleReadLine(Text& line, bool& endShown) {
  setUp();
  PosixConsole& c = console();
  setKeyMode(false);
  const LineTaken taken =
      takeLine(c.input, line, [] { return !console().inputEnded && readMore(); });
  // The terminal echoes Enter; a line that input's end cut short had none.
  endShown = c.terminal && taken == LineTaken::ended;
  return taken != LineTaken::none;
}

Text consolePollKey() {
  setUp();
  PosixConsole& c = console();
  setKeyMode(true);
  if (c.input.empty() && !c.inputEnded && inputReady(0)) readMore();
  if (c.input.empty()) return "";
  if (c.terminal) return takeTerminalKey();
  return takeByte(c.input);
}

bool consoleWaitForKey() {
  setUp();
  PosixConsole& c = console();
  setKeyMode(true);
  if (!c.input.empty()) return true;
  if (c.inputEnded) return false;
  inputReady(-1);
  return readMore() || !c.input.empty();
}

void consoleRestore() {
  PosixConsole& c = console();
  if (c.terminal && c.keyMode) {
    tcsetattr(kIn, TCSANOW, &c.saved);
    c.keyMode = false;
  }
}

}  // namespace doc
