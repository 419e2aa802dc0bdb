// Runs the built program as a user would: in a fresh temporary folder, under a chosen file
// name, with scripted standard input through a pipe. Captures the console bytes and the
// exit status, and lets the test look at the files the run left. PROGRAM_WRAPPER, when set,
// is a command (words split at blanks) that the program is started under, such as a
// memory checker.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace doc {

struct ProgramResult {
  int exitStatus = -1;     // the status the process ended with; -1 when it did not exit
  bool timedOut = false;   // killed after the time limit
  std::string console;     // everything written to standard output
  long maxResidentKb = 0;  // peak resident memory of the process (of the wrapper, if any)
};

// A run of the program in a temporary folder of its own.
class ProgramRun {
 public:
  ProgramRun();

  // Puts a file into the folder before the run.
  void addFile(const std::string& name, const std::string& bytes);
  // Copies the program into the folder as programName now rather than at the run, so that
  // a test can take away the folder's write permission in between.
  void placeProgram(const std::string& programName);
  // Runs the program, copied into the folder as programName, with `input` as standard
  // input, from the folder. The run is killed after timeoutSeconds.
  ProgramResult run(const std::string& input,
                    const std::string& programName = "www.example.org.exe",
                    int timeoutSeconds = 60);

  // The files of the folder after the run, by name (the program's copy left out).
  std::map<std::string, std::string> files() const;

  const std::filesystem::path& folder() const { return folder_.path(); }

 private:
  TempFolder folder_;
  std::string programName_;
  bool placed_ = false;  // the program's copy is in the folder under programName_
};

// The command the program is started under, from PROGRAM_WRAPPER; empty when unset.
std::vector<std::string> programWrapper();

// The program under test, from the PROGRAM environment variable the test runner sets.
std::string programPath();

}  // namespace doc
