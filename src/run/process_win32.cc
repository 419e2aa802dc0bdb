// Process services on Windows. Command lines go to the system command interpreter, the
// cmd.exe of the system folder, exactly as given, and the program waits for it; the child
// shares the program's console and standard handles, so what a command shows and does not
// redirect appears there. The invocation path is read from the command line itself.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "run/console.h"
#include "run/process.h"

namespace doc {

namespace {

Text& startPath() {
  static Text path;
  return path;
}

// The interpreter by its full path: a bare "cmd.exe" would be searched for in the current
// folder first, which holds the user's documents.
Text interpreterPath() {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "cmd.exe";
  return Text(folder, length) + "\\cmd.exe";
}

// Scratch files are overwritten without asking. At a prompt, copy asks before it
// overwrites an existing file; its question would go into "out.list" unseen while the
// copy waited for an answer from the keyboard. COPYCMD is read by the interpreter only.
void setUpInterpreter() {
  static bool done = false;
  if (done) return;
  done = true;
  SetEnvironmentVariableA("COPYCMD", "/Y");
}

// Lets the child use the handle as its own standard handle; console handles of older
// systems cannot be marked and reach the child through the shared console instead.
HANDLE inheritable(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
    SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  return handle;
}

}  // namespace

void runCommand(TextView commandLine) {
  flushConsole();
  setUpInterpreter();
  const Text application = interpreterPath();
  // /s: the interpreter takes everything between the first and the last quote as the line,
  // whatever quotes the line holds; /d: no start-up commands from the registry.
  Text line = "\"" + application + "\" /d /s /c \"" + Text(commandLine) + "\"";

  STARTUPINFOA start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = inheritable(STD_INPUT_HANDLE);
  start.hStdOutput = inheritable(STD_OUTPUT_HANDLE);
  start.hStdError = inheritable(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child{};
  // A command that cannot be started changes nothing; the caller sees it in the files the
  // command was to leave.
  if (!CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &start, &child))
    return;
  WaitForSingleObject(child.hProcess, INFINITE);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
}

Text invocationPath() {
  // The first word of the command line as the process received it: up to the first blank
  // or tab, or, when it begins with a quote, up to the next quote, the quotes removed.
  const char* line = GetCommandLineA();
  if (line == nullptr || *line == '\0') return startPath();
  TextView rest = line;
  if (rest[0] == '"') {
    rest.remove_prefix(1);
    return Text(rest.substr(0, rest.find('"')));
  }
  return Text(rest.substr(0, rest.find_first_of(" \t")));
}

void setInvocationPath(TextView path) { startPath() = Text(path); }

}  // namespace doc
