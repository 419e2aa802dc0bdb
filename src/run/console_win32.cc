// The console on Windows. Standard input is a console when GetConsoleMode accepts its
// handle (a redirection from NUL is a character device, not a console): lines are then read
// with the console's own line editing and key presses come from the console's input events.
// Otherwise standard input is one byte stream, as on POSIX: lines answer the prompts and
// every byte is a key press, all taken from the same buffer; the end of the stream ends a
// wait. Bytes pass unchanged both ways: no code page is converted.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>

#include "run/console_io.h"
#include "run/input_buffer.h"

namespace doc {

namespace {

constexpr unsigned char kNoCharacter = 255;
constexpr DWORD kLineModes = ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT;
constexpr DWORD kChunk = 4096;

struct WinConsole {
  bool ready = false;
  HANDLE in = INVALID_HANDLE_VALUE;
  HANDLE out = INVALID_HANDLE_VALUE;
  bool console = false;  // standard input is a console
  bool pipe = false;     // standard input is a pipe, which may block a read
  DWORD savedMode = 0;
  bool modeChanged = false;
  Text input;  // bytes read and not yet used
  Text keys;   // key presses taken from one console event and not yet returned
  bool inputEnded = false;
};

WinConsole& console() {
  static WinConsole state;
  return state;
}

void restoreAtExit() { consoleRestore(); }

// A console closed or interrupted while the mode is changed gets it back first.
BOOL WINAPI restoreOnControl(DWORD) {
  consoleRestore();
  return FALSE;  // the default handling then ends the process
}

void setUp() {
  WinConsole& c = console();
  if (c.ready) return;
  c.ready = true;
  c.in = GetStdHandle(STD_INPUT_HANDLE);
  c.out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (c.in == nullptr || c.in == INVALID_HANDLE_VALUE) {
    c.inputEnded = true;
    return;
  }
  DWORD mode = 0;
  if (GetConsoleMode(c.in, &mode)) {
    c.console = true;
    c.savedMode = mode;
    std::atexit(restoreAtExit);
    SetConsoleCtrlHandler(restoreOnControl, TRUE);
    return;
  }
  c.pipe = GetFileType(c.in) == FILE_TYPE_PIPE;
}

// Appends what one read of a byte stream gives to the input buffer; false at its end.
bool readMore() {
  WinConsole& c = console();
  char chunk[kChunk];
  DWORD n = 0;
  if (ReadFile(c.in, chunk, kChunk, &n, nullptr) && n > 0) {
    c.input.append(chunk, n);
    return true;
  }
  c.inputEnded = true;  // end of file, a pipe whose writer has gone, or an unreadable handle
  return false;
}

// True when a read of the byte stream would not block: a pipe with bytes waiting or
// whose writer has gone, or anything that is not a pipe (a file or a device).
bool streamReady() {
  WinConsole& c = console();
  if (!c.pipe) return true;
  DWORD available = 0;
  if (!PeekNamedPipe(c.in, nullptr, 0, nullptr, &available, nullptr)) return true;
  return available > 0;
}

bool isModifierOnly(WORD key) {
  switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_LMENU:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
      return true;
    default:
      return false;
  }
}

// Takes console input events until one is a key press and returns that key, or "" when
// the input buffer holds none. Releases, modifier keys alone, mouse, focus and size events
// are taken and dropped, so a wait on the handle does not wake for them again. A key held
// down reports its repeats in one event; each repeat is a key press of its own.
Text takeConsoleKey() {
  WinConsole& c = console();
  for (;;) {
    INPUT_RECORD record{};
    DWORD count = 0;
    if (!PeekConsoleInputA(c.in, &record, 1, &count) || count == 0) return "";
    if (!ReadConsoleInputA(c.in, &record, 1, &count) || count == 0) return "";
    if (record.EventType != KEY_EVENT) continue;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    if (!key.bKeyDown || isModifierOnly(key.wVirtualKeyCode)) continue;
    Text press;
    if (key.uChar.AsciiChar != 0) {
      press.push_back(key.uChar.AsciiChar);
    } else {
      // A key without a character: 255, then its scan code.
      press.push_back(static_cast<char>(kNoCharacter));
      press.push_back(static_cast<char>(key.wVirtualScanCode & 0xFF));
    }
    for (WORD more = 1; more < key.wRepeatCount; ++more) c.keys += press;
    return press;
  }
}

// The first key press of `keys`: one byte, or 255 and one more.
Text takeQueuedKey() {
  WinConsole& c = console();
  const size_t length =
      static_cast<unsigned char>(c.keys[0]) == kNoCharacter && c.keys.size() > 1 ? 2 : 1;
  Text key = c.keys.substr(0, length);
  c.keys.erase(0, length);
  return key;
}

// Line input needs the console's line mode with echo; it is set only when the console
// came without it, and put back by consoleRestore.
void setLineMode() {
  WinConsole& c = console();
  if ((c.savedMode & kLineModes) == kLineModes || c.modeChanged) return;
  if (SetConsoleMode(c.in, c.savedMode | kLineModes)) c.modeChanged = true;
}

// One line typed at the console: the console returns it, with its CR LF, once Enter is
// pressed; a long line may take several reads.
bool readConsoleLine(Text& line) {
  WinConsole& c = console();
  setLineMode();
  // Ctrl-Z or Ctrl-C at the start of a line reads nothing: an empty answer, and the
  // console goes on, so this does not mark the input as ended.
  return takeLine(c.input, line, [] {
           WinConsole& con = console();
           char chunk[kChunk];
           DWORD n = 0;
           if (!ReadFile(con.in, chunk, kChunk, &n, nullptr) || n == 0) return false;
           con.input.append(chunk, n);
           return true;
         }) != LineTaken::none;
}

}  // namespace

void consoleWrite(TextView bytes) {
  setUp();
  WinConsole& c = console();
  while (!bytes.empty()) {
    const DWORD size = bytes.size() > kChunk ? kChunk : static_cast<DWORD>(bytes.size());
    DWORD n = 0;
    if (!WriteFile(c.out, bytes.data(), size, &n, nullptr) || n == 0) return;
    bytes.remove_prefix(n);
  }
}

bool consoleReadLine(Text& line, bool& endShown) {
  setUp();
  WinConsole& c = console();
  if (c.console) {
    endShown = true;  // the console's echo of Enter moved to the next line
    return readConsoleLine(line);
  }
  endShown = false;
  return takeLine(c.input, line, [] { return !console().inputEnded && readMore(); }) !=
         LineTaken::none;
}

Text consolePollKey() {
  setUp();
  WinConsole& c = console();
  if (!c.keys.empty()) return takeQueuedKey();
  if (!c.input.empty()) return takeByte(c.input);
  if (c.console) return takeConsoleKey();
  if (c.inputEnded || !streamReady() || !readMore()) return "";
  return takeByte(c.input);
}

bool consoleWaitForKey() {
  setUp();
  WinConsole& c = console();
  if (!c.keys.empty() || !c.input.empty()) return true;
  if (c.console) {
    // Signalled while the input buffer holds any event; a console's input never ends.
    WaitForSingleObject(c.in, INFINITE);
    return true;
  }
  if (c.inputEnded) return false;
  return readMore();
}

void consoleRestore() {
  WinConsole& c = console();
  if (c.modeChanged) {
    SetConsoleMode(c.in, c.savedMode);
    c.modeChanged = false;
  }
}

}  // namespace doc
