#include "e2e/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace doc {

std::string programPath() {
  const char* path = std::getenv("PROGRAM");
  return path != nullptr ? path : "";
}

std::vector<std::string> programWrapper() {
  std::vector<std::string> words;
  const char* wrapper = std::getenv("PROGRAM_WRAPPER");
  if (wrapper == nullptr) return words;
  std::string word;
  for (const char* c = wrapper;; ++c) {
    if (*c == ' ' || *c == '\0') {
      if (!word.empty()) words.push_back(word);
      word.clear();
      if (*c == '\0') break;
    } else {
      word.push_back(*c);
    }
  }
  return words;
}

ProgramRun::ProgramRun() = default;

void ProgramRun::addFile(const std::string& name, const std::string& bytes) {
  writeFile((folder_.path() / name).string(), bytes);
}

void ProgramRun::placeProgram(const std::string& programName) {
  programName_ = programName;
  std::filesystem::copy_file(programPath(), folder_.path() / programName,
                             std::filesystem::copy_options::overwrite_existing);
  placed_ = true;
}

ProgramResult ProgramRun::run(const std::string& input, const std::string& programName,
                              int timeoutSeconds) {
  if (!placed_ || programName_ != programName) placeProgram(programName);
  const std::filesystem::path copy = folder_.path() / programName;
  // Prepared before the fork: the child only calls what is safe there.
  const std::string argv0 = "./" + programName;
  std::vector<std::string> command = programWrapper();
  command.push_back(argv0);
  std::vector<char*> commandArgv;
  for (std::string& word : command) commandArgv.push_back(word.data());
  commandArgv.push_back(nullptr);

  ProgramResult result;
  int toChild[2];
  int fromChild[2];
  if (pipe(toChild) != 0 || pipe(fromChild) != 0) return result;
  const pid_t child = fork();
  if (child == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    close(toChild[0]);
    close(toChild[1]);
    close(fromChild[0]);
    close(fromChild[1]);
    if (chdir(folder_.path().c_str()) != 0) _exit(127);
    // Started by its bare name, as at a command prompt in the folder.
    if (command.size() > 1)
      execvp(commandArgv[0], commandArgv.data());
    else
      execl(copy.c_str(), argv0.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  signal(SIGPIPE, SIG_IGN);
  fcntl(toChild[1], F_SETFL, O_NONBLOCK);

  // Feed the input and collect the output together, so neither side blocks the other.
  size_t written = 0;
  if (input.empty()) {
    close(toChild[1]);
    toChild[1] = -1;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  char chunk[65536];
  for (;;) {
    pollfd fds[2] = {{fromChild[0], POLLIN, 0}, {toChild[1], POLLOUT, 0}};
    const int count = toChild[1] >= 0 ? 2 : 1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      kill(child, SIGKILL);
      result.timedOut = true;
      break;
    }
    if (poll(fds, static_cast<nfds_t>(count), static_cast<int>(left.count())) < 0 && errno != EINTR)
      break;
    if (count == 2 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t n = write(toChild[1], input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<size_t>(n);
      if (n < 0 && errno != EAGAIN) written = input.size();
      if (written == input.size()) {
        close(toChild[1]);
        toChild[1] = -1;
      }
    }
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      const ssize_t n = read(fromChild[0], chunk, sizeof chunk);
      if (n <= 0) break;
      result.console.append(chunk, static_cast<size_t>(n));
    }
  }
  if (toChild[1] >= 0) close(toChild[1]);
  close(fromChild[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  result.maxResidentKb = usage.ru_maxrss;
  return result;
}

std::map<std::string, std::string> ProgramRun::files() const {
  std::map<std::string, std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    const std::string name = entry.path().filename().string();
    if (name == programName_ || !entry.is_regular_file()) continue;
    found[name] = readFile(entry.path().string());
  }
  return found;
}

}  // namespace doc
