// Line-file throughput: reads a file of short lines and a file of one long line through
// doc::LineReader, alone and written back through doc::LineWriter, next to a plain
// buffered copy of the same file as the baseline. Each case runs in a child process of
// its own, so that its peak resident size is its own and not the largest seen so far.
//
// Usage: line_file_bench [WORK_DIR [SHORT_MB [LONG_MB]]]
//   WORK_DIR  where the scratch files go (default $TMPDIR or /tmp); they are removed after.
//   SHORT_MB  size of the file of short lines (default 200); LONG_MB the one line (100).
// 1 MB = 1,048,576 bytes. The files are read back right after they were written, so they
// come from the page cache: the figures are those of the line code, not of the disk.
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "run/line_file.h"
#include "run/text.h"

namespace {

using doc::Text;
using doc::TextView;

constexpr uint64_t kMegabyte = uint64_t{1} << 20;
constexpr size_t kCopyBufferSize = size_t{1} << 20;
constexpr int kRuns = 5;

bool writeAll(std::FILE* file, const Text& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// Lines of 0 to 99 bytes (about 50 on average) ending in CR LF, so that writing them back
// gives the same bytes.
bool makeShortLineFile(const Text& name, uint64_t size) {
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) return false;
  Text chunk;
  uint64_t written = 0;
  uint32_t seed = 12345;
  bool ok = true;
  while (written < size && ok) {
    seed = seed * 1103515245u + 12345u;
    const size_t length = (seed >> 16) % 100;
    for (size_t i = 0; i < length; ++i)
      chunk.push_back(static_cast<char>('a' + (i * 7 + length) % 26));
    chunk.append("\r\n");
    written += length + 2;
    if (chunk.size() >= kCopyBufferSize) {
      ok = writeAll(file, chunk);
      chunk.clear();
    }
  }
  if (ok) ok = writeAll(file, chunk);
  return std::fclose(file) == 0 && ok;
}

// One line of `size` bytes without a line end inside it, then CR LF.
bool makeLongLineFile(const Text& name, uint64_t size) {
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) return false;
  Text chunk(kCopyBufferSize, 'x');
  bool ok = true;
  for (uint64_t left = size; left > 0 && ok;) {
    const size_t n = left < chunk.size() ? static_cast<size_t>(left) : chunk.size();
    ok = std::fwrite(chunk.data(), 1, n, file) == n;
    left -= n;
  }
  if (ok) ok = writeAll(file, "\r\n");
  return std::fclose(file) == 0 && ok;
}

uint64_t fileSize(const Text& name) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) return 0;
  uint64_t size = 0;
  auto buffer = std::make_unique<char[]>(kCopyBufferSize);
  size_t got;
  while ((got = std::fread(buffer.get(), 1, kCopyBufferSize, file)) > 0) size += got;
  std::fclose(file);
  return size;
}

// Whether two files hold the same bytes.
bool sameContent(const Text& a, const Text& b) {
  std::FILE* fa = std::fopen(a.c_str(), "rb");
  std::FILE* fb = std::fopen(b.c_str(), "rb");
  bool same = fa != nullptr && fb != nullptr;
  auto ba = std::make_unique<char[]>(kCopyBufferSize);
  auto bb = std::make_unique<char[]>(kCopyBufferSize);
  while (same) {
    const size_t na = std::fread(ba.get(), 1, kCopyBufferSize, fa);
    const size_t nb = std::fread(bb.get(), 1, kCopyBufferSize, fb);
    if (na != nb || std::memcmp(ba.get(), bb.get(), na) != 0) same = false;
    if (na == 0) break;
  }
  if (fa != nullptr) std::fclose(fa);
  if (fb != nullptr) std::fclose(fb);
  return same;
}

enum class Work { kRead, kCopy, kPlainCopy };

// The work of one case; returns a value that depends on every byte read so that the
// compiler keeps the loop.
uint64_t doWork(Work work, const Text& input, const Text& output) {
  uint64_t sum = 0;
  switch (work) {
    case Work::kRead: {
      doc::LineReader reader(input);
      while (!reader.atEnd()) {
        const TextView line = reader.readLine();
        sum += line.size() + (line.empty() ? 0 : static_cast<unsigned char>(line.back()));
      }
      break;
    }
    case Work::kCopy: {
      doc::LineReader reader(input);
      doc::LineWriter writer(output);
      while (!reader.atEnd()) {
        const TextView line = reader.readLine();
        writer.writeLine(line);
        sum += line.size();
      }
      break;
    }
    case Work::kPlainCopy: {
      std::FILE* in = std::fopen(input.c_str(), "rb");
      std::FILE* out = std::fopen(output.c_str(), "wb");
      if (in == nullptr || out == nullptr) std::exit(1);
      auto buffer = std::make_unique<char[]>(kCopyBufferSize);
      size_t got;
      while ((got = std::fread(buffer.get(), 1, kCopyBufferSize, in)) > 0) {
        if (std::fwrite(buffer.get(), 1, got, out) != got) std::exit(1);
        sum += got;
      }
      std::fclose(in);
      std::fclose(out);
      break;
    }
  }
  return sum;
}

struct CaseResult {
  bool ok = false;
  double seconds = 0;
  double peakRssMb = 0;
};

// Runs the case once in a child: the child times the work and sends the seconds through
// a pipe; the parent takes the child's peak resident size from wait4. The output file is
// removed first, so that no run pays for truncating the previous run's output.
CaseResult runCaseOnce(Work work, const Text& input, const Text& output) {
  CaseResult result;
  std::remove(output.c_str());
  int fds[2];
  if (pipe(fds) != 0) return result;
  std::fflush(stdout);
  const pid_t child = fork();
  if (child < 0) return result;
  if (child == 0) {
    close(fds[0]);
    const auto start = std::chrono::steady_clock::now();
    const uint64_t sum = doWork(work, input, output);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double seconds = elapsed.count();
    const bool sent = write(fds[1], &seconds, sizeof seconds) == sizeof seconds;
    _exit(sent && sum > 0 ? 0 : 1);
  }
  close(fds[1]);
  double seconds = 0;
  const bool got = read(fds[0], &seconds, sizeof seconds) == sizeof seconds;
  close(fds[0]);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return result;
  result.ok = got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  result.seconds = seconds;
  result.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
  return result;
}

// The median time of kRuns runs and the largest peak resident size among them; the
// machine is shared, so single runs vary by a factor of two.
CaseResult runCase(Work work, const Text& input, const Text& output) {
  double seconds[kRuns];
  CaseResult result;
  result.ok = true;
  for (int i = 0; i < kRuns && result.ok; ++i) {
    const CaseResult one = runCaseOnce(work, input, output);
    result.ok = one.ok;
    seconds[i] = one.seconds;
    if (one.peakRssMb > result.peakRssMb) result.peakRssMb = one.peakRssMb;
  }
  if (!result.ok) return result;
  std::sort(seconds, seconds + kRuns);
  result.seconds = seconds[kRuns / 2];
  return result;
}

uint64_t parseMb(const char* text, uint64_t fallback) {
  if (text == nullptr) return fallback;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 10);
  return (*end == '\0' && value > 0) ? value : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* tmp = std::getenv("TMPDIR");
  const Text base = argc > 1 ? argv[1] : (tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
  const uint64_t shortMb = parseMb(argc > 2 ? argv[2] : nullptr, 200);
  const uint64_t longMb = parseMb(argc > 3 ? argv[3] : nullptr, 100);
  if (argc > 4 || shortMb == 0 || longMb == 0) {
    std::fprintf(stderr, "usage: line_file_bench [WORK_DIR [SHORT_MB [LONG_MB]]]\n");
    return 2;
  }
  Text dirTemplate = base + "/line_file_bench.XXXXXX";
  if (mkdtemp(dirTemplate.data()) == nullptr) {
    std::fprintf(stderr, "line_file_bench: cannot make a folder in %s: %s\n", base.c_str(),
                 std::strerror(errno));
    return 1;
  }
  const Text dir = dirTemplate;
  const Text shortName = dir + "/short_lines.txt";
  const Text longName = dir + "/long_line.txt";
  const Text outName = dir + "/written.txt";

  struct Input {
    const char* label;
    Text name;
  };
  const Input inputs[] = {{"short lines", shortName}, {"one long line", longName}};
  bool ok = makeShortLineFile(shortName, shortMb * kMegabyte) &&
            makeLongLineFile(longName, longMb * kMegabyte);
  if (!ok)
    std::fprintf(stderr, "line_file_bench: cannot write the input files in %s\n", dir.c_str());

  struct Case {
    const char* label;
    Work work;
  };
  const Case cases[] = {{"LineReader", Work::kRead},
                        {"LineReader+LineWriter", Work::kCopy},
                        {"plain fread/fwrite copy", Work::kPlainCopy}};
  if (ok) {
    std::printf("%-14s %-24s %8s %9s %9s %12s\n", "input", "case", "MB", "seconds", "MB/s",
                "peak RSS MB");
  }
  for (const Input& input : inputs) {
    if (!ok) break;
    const uint64_t bytes = fileSize(input.name);
    const double mb = static_cast<double>(bytes) / static_cast<double>(kMegabyte);
    for (const Case& c : cases) {
      const CaseResult r = runCase(c.work, input.name, outName);
      if (!r.ok) {
        std::fprintf(stderr, "line_file_bench: case %s on %s failed\n", c.label, input.label);
        ok = false;
        break;
      }
      if (c.work == Work::kCopy && !sameContent(input.name, outName)) {
        std::fprintf(stderr, "line_file_bench: %s written back differs from its input\n",
                     input.label);
        ok = false;
      }
      std::printf("%-14s %-24s %8.1f %9.3f %9.1f %12.1f\n", input.label, c.label, mb, r.seconds,
                  r.seconds > 0 ? mb / r.seconds : 0.0, r.peakRssMb);
    }
  }
  std::remove(shortName.c_str());
  std::remove(longName.c_str());
  std::remove(outName.c_str());
  rmdir(dir.c_str());
  return ok ? 0 : 1;
}
