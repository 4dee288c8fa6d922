// varnoket-bench: measures the command-line front end on a generated backup
// set and sets the figures beside those of plain tools on the same files
// (cat for reading, bzip2 -9 for compressing). It prints figures and the
// ratios the project tracks; it never fails because of a timing.
//
// Every measured program runs as a child process. Its wall time and its peak
// resident memory (ru_maxrss as wait4 reports it) are taken by a small helper
// process forked before the bench builds anything: Linux carries the peak of
// the memory image a process leaves behind at exec into that process's
// ru_maxrss, so children forked from the bench itself, which holds the list
// of every generated file, would all show the bench's own size.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kKiB = 1024;
constexpr uint64_t kMiB = 1024 * 1024;
constexpr double kMB = 1e6;  // throughput and memory figures use decimal megabytes

// ---------------------------------------------------------------------------
// Small helpers

[[noreturn]] void Die(const std::string& text) {
  std::fprintf(stderr, "varnoket-bench: %s\n", text.c_str());
  std::exit(2);
}

bool WriteAllFd(int fd, const void* data, size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReadAllFd(int fd, void* data, size_t size) {
  auto* p = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::read(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool WriteString(int fd, const std::string& s) {
  const auto len = static_cast<uint32_t>(s.size());
  return WriteAllFd(fd, &len, sizeof len) && WriteAllFd(fd, s.data(), s.size());
}

bool ReadString(int fd, std::string& s) {
  uint32_t len = 0;
  if (!ReadAllFd(fd, &len, sizeof len)) return false;
  s.assign(len, '\0');
  return len == 0 || ReadAllFd(fd, s.data(), len);
}

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) Die("cannot write " + path);
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string LoadAverage() {
  std::string text = ReadTextFile("/proc/loadavg");
  // "0.52 0.58 0.59 1/467 12345": the three averages only.
  size_t cut = 0;
  for (int spaces = 0; cut < text.size() && spaces < 3; ++cut) {
    if (text[cut] == ' ') ++spaces;
  }
  text.resize(cut > 0 ? cut - 1 : 0);
  return text;
}

// splitmix64: fast, and good enough for file contents and sampling.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n).
  uint64_t Below(uint64_t n) { return n == 0 ? 0 : Next() % n; }
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

 private:
  uint64_t state_;
};

// ---------------------------------------------------------------------------
// The helper that runs every measured program

struct ChildResult {
  int32_t status = -1;     // as wait4 gives it
  int32_t spawnErrno = 0;  // non-zero when the program could not be started
  double seconds = 0;      // wall time from fork to reaping
  int64_t maxRssKiB = 0;   // ru_maxrss
  double userSeconds = 0;
  double systemSeconds = 0;

  bool Succeeded() const {
    return spawnErrno == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  std::string Describe() const {
    if (spawnErrno != 0) return std::string("could not start: ") + std::strerror(spawnErrno);
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "ended abnormally";
  }
};

// The run of median wall time, carrying the highest peak of all the runs.
ChildResult Median(std::vector<ChildResult> runs) {
  std::sort(runs.begin(), runs.end(),
            [](const ChildResult& a, const ChildResult& b) { return a.seconds < b.seconds; });
  ChildResult m = runs[runs.size() / 2];
  for (const auto& r : runs) m.maxRssKiB = std::max(m.maxRssKiB, r.maxRssKiB);
  return m;
}

class Spawner {
 public:
  // Must run before the bench allocates anything large.
  void Start() {
    int toHelper[2];
    int fromHelper[2];
    if (::pipe2(toHelper, O_CLOEXEC) != 0 || ::pipe2(fromHelper, O_CLOEXEC) != 0) {
      Die("pipe failed");
    }
    pid_ = ::fork();
    if (pid_ < 0) Die("fork failed");
    if (pid_ == 0) {
      ::close(toHelper[1]);
      ::close(fromHelper[0]);
      Serve(toHelper[0], fromHelper[1]);
      ::_exit(0);
    }
    ::close(toHelper[0]);
    ::close(fromHelper[1]);
    request_ = toHelper[1];
    reply_ = fromHelper[0];
  }

  // Runs argv[0] (looked up in PATH) with standard output to `out` and
  // standard error to `err` ("" for the same file as `out`), both opened
  // for appending.
  ChildResult Run(const std::vector<std::string>& argv, const std::string& out,
                  const std::string& err = "") {
    bool ok = WriteString(request_, std::to_string(argv.size()));
    for (const auto& a : argv) ok = ok && WriteString(request_, a);
    ok = ok && WriteString(request_, out) && WriteString(request_, err);
    ChildResult r;
    if (!ok || !ReadAllFd(reply_, &r, sizeof r)) Die("the process helper stopped");
    return r;
  }

  void Stop() {
    if (pid_ <= 0) return;
    ::close(request_);
    ::close(reply_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  [[noreturn]] static void Serve(int in, int out) {
    for (;;) {
      std::string count;
      if (!ReadString(in, count)) ::_exit(0);
      std::vector<std::string> argv(std::stoul(count));
      for (auto& a : argv) {
        if (!ReadString(in, a)) ::_exit(0);
      }
      std::string outPath;
      std::string errPath;
      if (!ReadString(in, outPath) || !ReadString(in, errPath)) ::_exit(0);
      std::vector<char*> args;
      for (auto& a : argv) args.push_back(a.data());
      args.push_back(nullptr);

      ChildResult r;
      int errPipe[2];
      if (::pipe2(errPipe, O_CLOEXEC) != 0) ::_exit(1);
      const auto start = std::chrono::steady_clock::now();
      const pid_t child = ::fork();
      if (child == 0) {
        const int o = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int e =
            errPath.empty() ? o : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) {
          const int code = errno;
          WriteAllFd(errPipe[1], &code, sizeof code);
          ::_exit(127);
        }
        ::execvp(args[0], args.data());
        const int code = errno;
        WriteAllFd(errPipe[1], &code, sizeof code);
        ::_exit(127);
      }
      ::close(errPipe[1]);
      if (child > 0) {
        int code = 0;
        if (ReadAllFd(errPipe[0], &code, sizeof code)) r.spawnErrno = code;
        struct rusage usage {};
        int status = 0;
        while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
        }
        const auto end = std::chrono::steady_clock::now();
        r.status = status;
        r.seconds = std::chrono::duration<double>(end - start).count();
        r.maxRssKiB = usage.ru_maxrss;
        r.userSeconds = static_cast<double>(usage.ru_utime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
        r.systemSeconds = static_cast<double>(usage.ru_stime.tv_sec) +
                          static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
      } else {
        r.spawnErrno = errno;
      }
      ::close(errPipe[0]);
      if (!WriteAllFd(out, &r, sizeof r)) ::_exit(1);
    }
  }

  pid_t pid_ = -1;
  int request_ = -1;
  int reply_ = -1;
};

// ---------------------------------------------------------------------------
// Options

struct Options {
  uint64_t files = 100000;
  uint64_t large = 4;
  uint64_t largeMiB = 32;
  uint64_t sample = 2000;
  uint64_t seed = 20240501;
  uint64_t repeat = 3;  // runs of each cheap step (cat, no-change); the median counts
  std::string work;
  std::string cli;
  bool skipBaselines = false;
  bool scaling = false;
  bool keep = false;
};

constexpr const char* kUsage =
    "usage: varnoket-bench [--files N] [--large K] [--large-mib M] [--sample S] [--work DIR]\n"
    "                      [--cli PATH] [--skip-baselines] [--scaling] [--quick] [--keep]\n"
    "                      [--repeat R] [--seed X]\n"
    "\n"
    "  --files N         small files (1..16 KiB of text-like content), 100 per folder (100000)\n"
    "  --large K         large files, half text-like and half random bytes (4)\n"
    "  --large-mib M     size of each large file in MiB (32)\n"
    "  --sample S        small files compressed one by one with bzip2 -9 (2000)\n"
    "  --work DIR        working folder, absent or empty; kept afterwards\n"
    "                    (default: a fresh folder under /tmp, removed afterwards)\n"
    "  --cli PATH        the front end (default: ../src/cli/varnoket-cli beside this program)\n"
    "  --skip-baselines  do not run cat and bzip2 (and the sample backup that pairs with them)\n"
    "  --scaling         also measure no-change runs at N and at 2N small files\n"
    "  --quick           10000 small files and 1 large file\n"
    "  --keep            keep the working folder\n"
    "  --repeat R        runs of cat and of each no-change backup; the median is shown (3)\n";

uint64_t ParseCount(const std::string& flag, const std::string& value) {
  try {
    size_t used = 0;
    const unsigned long long v = std::stoull(value, &used);
    if (used != value.size()) throw std::invalid_argument(value);
    return v;
  } catch (const std::exception&) {
    Die(flag + " needs a whole number, not \"" + value + "\"");
  }
}

std::string DefaultCli() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "varnoket-cli";
  return (self.parent_path() / ".." / "src" / "cli" / "varnoket-cli").lexically_normal().string();
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  bool filesGiven = false;
  bool largeGiven = false;
  bool quick = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Die(a + " needs a value");
      return argv[++i];
    };
    if (a == "--files") {
      o.files = ParseCount(a, value());
      filesGiven = true;
    } else if (a == "--large") {
      o.large = ParseCount(a, value());
      largeGiven = true;
    } else if (a == "--large-mib") {
      o.largeMiB = ParseCount(a, value());
    } else if (a == "--sample") {
      o.sample = ParseCount(a, value());
    } else if (a == "--seed") {
      o.seed = ParseCount(a, value());
    } else if (a == "--repeat") {
      o.repeat = std::max<uint64_t>(1, ParseCount(a, value()));
    } else if (a == "--work") {
      o.work = value();
    } else if (a == "--cli") {
      o.cli = value();
    } else if (a == "--skip-baselines") {
      o.skipBaselines = true;
    } else if (a == "--scaling") {
      o.scaling = true;
    } else if (a == "--quick") {
      quick = true;
    } else if (a == "--keep") {
      o.keep = true;
    } else if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else {
      std::fputs(kUsage, stderr);
      Die("unknown argument " + a);
    }
  }
  if (quick) {
    if (!filesGiven) o.files = 10000;
    if (!largeGiven) o.large = 1;
  }
  if (o.files == 0 && o.large == 0) Die("nothing to back up: --files and --large are both 0");
  if (o.cli.empty()) o.cli = DefaultCli();
  return o;
}

// ---------------------------------------------------------------------------
// The generated backup set

struct SourceFile {
  std::string path;
  uint64_t size = 0;
};

// Words of two to four syllables; picked with a skew so that a few words are
// common and most are rare, as in prose.
class TextMaker {
 public:
  explicit TextMaker(uint64_t seed) {
    static const char* const kSyllables[] = {
        "ba",   "ce",  "di", "fo", "gu", "la", "me", "ni",  "po",  "ru",  "sa",  "te",
        "vi",   "zo",  "an", "er", "in", "on", "ur", "tra", "ple", "que", "str", "ment",
        "tion", "eau", "ou", "ai", "ch", "gn", "ll", "ss",  "x",   "k",   "y",   "ph"};
    constexpr size_t kCount = sizeof kSyllables / sizeof kSyllables[0];
    Random r(seed);
    words_.reserve(kVocabulary);
    for (size_t i = 0; i < kVocabulary; ++i) {
      std::string w;
      const uint64_t n = 2 + r.Below(3);
      for (uint64_t s = 0; s < n; ++s) w += kSyllables[r.Below(kCount)];
      words_.push_back(std::move(w));
    }
  }

  // Fills `out` with `size` bytes of text.
  void Fill(Random& r, std::string& out, size_t size) const {
    out.clear();
    size_t lineLength = 0;
    size_t sentence = 0;
    while (out.size() < size) {
      const double u = r.Unit();
      const auto index = static_cast<size_t>(u * u * u * static_cast<double>(kVocabulary));
      const std::string& w = words_[std::min(index, kVocabulary - 1)];
      out += w;
      lineLength += w.size();
      if (++sentence >= 8 + r.Below(10)) {
        out += '.';
        sentence = 0;
      } else if (r.Below(12) == 0) {
        out += ',';
      }
      if (lineLength > 72) {
        out += '\n';
        lineLength = 0;
      } else {
        out += ' ';
        ++lineLength;
      }
    }
    out.resize(size);
  }

 private:
  static constexpr size_t kVocabulary = 4096;
  std::vector<std::string> words_;
};

void WriteFileBytes(const std::string& path, const char* data, size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Die("cannot create " + path + ": " + std::strerror(errno));
  if (!WriteAllFd(fd, data, size)) Die("cannot write " + path + ": " + std::strerror(errno));
  if (::close(fd) != 0) Die("cannot close " + path + ": " + std::strerror(errno));
}

// `count` small files under `root`: root/gNNN/dNNN/fNNNNNN.txt, 100 files per
// folder and 100 folders per group. Indexes start at `first`, which also
// seeds each file's content, so two calls never make the same files.
std::vector<SourceFile> MakeSmallFiles(const TextMaker& text, const std::string& root,
                                       uint64_t first, uint64_t count, uint64_t seed) {
  std::vector<SourceFile> files;
  files.reserve(count);
  std::string content;
  std::string folder;
  char name[64];
  for (uint64_t k = 0; k < count; ++k) {
    const uint64_t i = first + k;
    if (k == 0 || i % 100 == 0) {
      std::snprintf(name, sizeof name, "/g%03" PRIu64 "/d%03" PRIu64, i / 10000, (i / 100) % 100);
      folder = root + name;
      fs::create_directories(folder);
    }
    Random r(seed * 1000003 + i);
    const size_t size = static_cast<size_t>(1 * kKiB + r.Below(15 * kKiB + 1));
    text.Fill(r, content, size);
    std::snprintf(name, sizeof name, "/f%06" PRIu64 ".txt", i);
    SourceFile f{folder + name, size};
    WriteFileBytes(f.path, content.data(), content.size());
    files.push_back(std::move(f));
  }
  return files;
}

// Large files made of 1 MiB pieces, text-like and random bytes in turn.
std::vector<SourceFile> MakeLargeFiles(const TextMaker& text, const std::string& root,
                                       uint64_t count, uint64_t mib, uint64_t seed) {
  std::vector<SourceFile> files;
  fs::create_directories(root);
  std::string piece;
  for (uint64_t i = 0; i < count; ++i) {
    Random r(seed * 7919 + i);
    SourceFile f{root + "/large" + std::to_string(i) + ".bin", mib * kMiB};
    const int fd = ::open(f.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Die("cannot create " + f.path);
    for (uint64_t p = 0; p < mib; ++p) {
      if (p % 2 == 0) {
        text.Fill(r, piece, kMiB);
      } else {
        piece.resize(kMiB);
        for (size_t j = 0; j + 8 <= piece.size(); j += 8) {
          const uint64_t v = r.Next();
          std::memcpy(piece.data() + j, &v, 8);
        }
      }
      if (!WriteAllFd(fd, piece.data(), piece.size())) Die("cannot write " + f.path);
    }
    if (::close(fd) != 0) Die("cannot close " + f.path);
    files.push_back(std::move(f));
  }
  return files;
}

uint64_t TotalBytes(const std::vector<SourceFile>& files) {
  uint64_t total = 0;
  for (const auto& f : files) total += f.size;
  return total;
}

void ReadEverything(const std::vector<SourceFile>& files) {
  std::vector<char> buffer(kMiB);
  for (const auto& f : files) {
    const int fd = ::open(f.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Die("cannot read " + f.path);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
  }
}

uint64_t TreeBytes(const std::string& root) {
  uint64_t total = 0;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    if (it->is_regular_file(ec)) total += it->file_size(ec);
  }
  return total;
}

// ---------------------------------------------------------------------------
// Settings files of the store under test

std::string ProgramSettingsText(const std::string& root) {
  return "[PARAMS]\r\nRACINE=" + root + "\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n";
}

std::string StationSettingsText(const std::string& lastBackup,
                                const std::vector<std::string>& directories) {
  std::string text =
      "[PARAMS]\r\nLASTBACKUP=" + lastBackup + "\r\nEXCLUSIONS=\r\n[DIRECTORIES]\r\n";
  for (size_t i = 0; i < directories.size(); ++i) {
    text += "D" + std::to_string(i + 1) + "=" + directories[i] + "\r\n";
  }
  return text;
}

// The LASTBACKUP value of a station settings file, "" when absent.
std::string LastBackupOf(const std::string& path) {
  std::istringstream in(ReadTextFile(path));
  std::string line;
  std::string value;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("LASTBACKUP=", 0) == 0) value = line.substr(11);
  }
  return value;
}

// One store: a program folder with its VARNOKET.INI, a backup root and the
// station's settings file.
struct Store {
  std::string programFolder;
  std::string root;
  std::string station = "BENCH";

  std::string StationFolder() const { return root + "/" + station; }
  std::string StationSettings() const { return StationFolder() + "/" + station + ".ini"; }

  void Create(const std::vector<std::string>& directories) const {
    fs::create_directories(programFolder);
    fs::create_directories(StationFolder());
    WriteTextFile(programFolder + "/VARNOKET.INI", ProgramSettingsText(root));
    WriteTextFile(StationSettings(), StationSettingsText("31/12/2002", directories));
    // Marked as a configured store is: a run writes nowhere else.
    WriteTextFile(root + "/VARNOKET.STORE",
                  "[STORE]\r\nID=0123456789abcdef0123456789abcdef\r\nCREATED=2026-01-01 "
                  "00:00:00\r\n");
  }
  // Sets the backup set, keeping the date of the last backup.
  void SetDirectories(const std::vector<std::string>& directories) const {
    std::string last = LastBackupOf(StationSettings());
    if (last.empty()) last = "31/12/2002";
    WriteTextFile(StationSettings(), StationSettingsText(last, directories));
  }
  std::vector<std::string> Command(const std::string& cli,
                                   const std::vector<std::string>& words) const {
    std::vector<std::string> argv = {cli, "--program-folder", programFolder, "--station", station};
    argv.insert(argv.end(), words.begin(), words.end());
    return argv;
  }
};

// ---------------------------------------------------------------------------
// Figures

struct Row {
  explicit Row(std::string rowName) : name(std::move(rowName)) {}

  std::string name;
  bool measured = false;
  double seconds = 0;
  double cpuSeconds = 0;  // user + system time of the child processes
  uint64_t files = 0;
  uint64_t bytes = 0;
  int64_t peakKiB = 0;
  std::string note;

  // Counts one more child process in this row: times add up, the peak is
  // the highest.
  void Add(const ChildResult& r) {
    measured = true;
    seconds += r.seconds;
    cpuSeconds += r.userSeconds + r.systemSeconds;
    peakKiB = std::max(peakKiB, r.maxRssKiB);
  }

  double FilesPerSecond() const { return seconds > 0 ? static_cast<double>(files) / seconds : 0; }
  double MBPerSecond() const {
    return seconds > 0 ? static_cast<double>(bytes) / kMB / seconds : 0;
  }
  double PeakMB() const { return static_cast<double>(peakKiB) * 1024.0 / kMB; }
  double PeakBytesPerFile() const {
    return files > 0 ? static_cast<double>(peakKiB) * 1024.0 / static_cast<double>(files) : 0;
  }
};

void PrintTable(const std::vector<Row>& rows) {
  std::printf("\n%-34s %8s %8s %8s %9s %8s %8s %9s   %s\n", "step", "seconds", "cpu s", "files",
              "files/s", "MB/s", "peak MB", "B/file", "note");
  std::printf("%s\n", std::string(99, '-').c_str());
  for (const Row& r : rows) {
    if (!r.measured) {
      std::printf("%-34s %8s   %s\n", r.name.c_str(), "-", r.note.c_str());
      continue;
    }
    const double rate = r.FilesPerSecond();
    std::printf("%-34s %8.2f %8.2f %8" PRIu64 " %9.*f %8.1f %8.1f %9.0f   %s\n", r.name.c_str(),
                r.seconds, r.cpuSeconds, r.files, rate < 100 ? 2 : 0, rate, r.MBPerSecond(),
                r.PeakMB(), r.PeakBytesPerFile(), r.note.c_str());
  }
}

void PrintRatio(const char* name, std::optional<double> value, const char* target,
                bool higherIsBetter, double bound, int decimals = 3) {
  if (!value) {
    std::printf("  %-52s %9s  (target %s)  not measured\n", name, "-", target);
    return;
  }
  const bool met = higherIsBetter ? *value >= bound : *value < bound;
  std::printf("  %-52s %9.*f  (target %s)  %s\n", name, decimals, *value, target,
              met ? "met" : "MISSED");
}

// Flushes what earlier steps wrote, so that a measured run that flushes the
// file system (the backup does) pays only for its own writes.
void Settle() {
  ::sync();
}

// The last non-empty line of a text file.
std::string LastLine(const std::string& path) {
  std::istringstream in(ReadTextFile(path));
  std::string line;
  std::string last;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) last = line;
  }
  return last;
}

bool FileContains(const std::string& path, const std::string& needle) {
  return ReadTextFile(path).find(needle) != std::string::npos;
}

class Bench {
 public:
  Bench(Options options, Spawner& spawner) : o_(std::move(options)), spawner_(spawner) {}

  int Run() {
    PrepareWork();
    std::printf("varnoket-bench: %" PRIu64 " small files, %" PRIu64 " large files of %" PRIu64
                " MiB, work folder %s\n",
                o_.files, o_.large, o_.largeMiB, work_.c_str());
    std::printf("front end: %s\n", o_.cli.c_str());
    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    const std::string load = LoadAverage();
    std::printf("processors: %u, load average at start: %s\n", processors, load.c_str());
    if (std::strtod(load.c_str(), nullptr) > 0.75 * processors) {
      std::printf("note: the machine is busy; the figures are wall times and will show it\n");
    }

    BuildTree();
    MeasureSpawnFloor();
    if (!o_.skipBaselines) {
      MeasureCat();
      MeasureBzip2();
      MeasureSampleBackup();
    }
    MeasureMainStore();
    if (o_.scaling) MeasureScaling();

    std::printf("\nload average at end: %s\n", LoadAverage().c_str());
    PrintTable(rows_);
    PrintRatios();
    for (const auto& p : problems_) std::printf("PROBLEM: %s\n", p.c_str());
    Cleanup();
    return problems_.empty() ? 0 : 1;
  }

 private:
  void PrepareWork() {
    if (::access(o_.cli.c_str(), X_OK) != 0) {
      Die("front end not found: " + o_.cli + " (build the varnoket-cli target or pass --cli)");
    }
    if (o_.work.empty()) {
      char templ[] = "/tmp/varnoket-bench-XXXXXX";
      if (::mkdtemp(templ) == nullptr) Die("cannot create a folder under /tmp");
      work_ = templ;
      removeWork_ = !o_.keep;
    } else {
      work_ = fs::absolute(o_.work).lexically_normal().string();
      while (work_.size() > 1 && work_.back() == '/') work_.pop_back();
      std::error_code ec;
      fs::create_directories(work_, ec);
      if (!fs::is_directory(work_) || !fs::is_empty(work_, ec)) {
        Die("--work " + work_ + " must be an empty or absent folder");
      }
    }
    logs_ = work_ + "/logs";
    fs::create_directories(logs_);
  }

  void BuildTree() {
    const auto start = std::chrono::steady_clock::now();
    const TextMaker text(o_.seed);
    smallRoot_ = work_ + "/src/small";
    largeRoot_ = work_ + "/src/large";
    small_ = MakeSmallFiles(text, smallRoot_, 0, o_.files, o_.seed);
    large_ = MakeLargeFiles(text, largeRoot_, o_.large, o_.largeMiB, o_.seed);
    all_ = small_;
    all_.insert(all_.end(), large_.begin(), large_.end());
    totalBytes_ = TotalBytes(all_);
    Settle();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("tree built in %.1f s: %zu files, %.1f MB (small %.1f MB, large %.1f MB)\n",
                seconds, all_.size(), static_cast<double>(totalBytes_) / kMB,
                static_cast<double>(TotalBytes(small_)) / kMB,
                static_cast<double>(TotalBytes(large_)) / kMB);
    // Every measured step reads from the page cache.
    ReadEverything(all_);
  }

  void MeasureSpawnFloor() {
    const ChildResult r = spawner_.Run({"true"}, "/dev/null");
    std::printf(
        "peak memory of /bin/true started the same way: %.1f MB (a floor under every figure)\n",
        static_cast<double>(r.maxRssKiB) * 1024.0 / kMB);
  }

  // Runs one step; a program that fails is reported, not fatal.
  ChildResult Step(const std::string& label, const std::vector<std::string>& argv,
                   const std::string& out, const std::string& err = "") {
    const ChildResult r = spawner_.Run(argv, out, err);
    if (!r.Succeeded()) {
      problems_.push_back(label + ": " + argv[0] + " " + r.Describe() +
                          " (log: " + (err.empty() ? out : err) + ")");
    }
    return r;
  }

  // Runs a cheap step o_.repeat times; the median run counts.
  ChildResult Repeated(const std::string& label, const std::vector<std::string>& argv,
                       const std::string& log) {
    std::vector<ChildResult> runs;
    for (uint64_t k = 0; k < o_.repeat; ++k) {
      Settle();
      runs.push_back(Step(label, argv, log));
    }
    return Median(runs);
  }

  // "median of R runs" appended to `note`, when steps are repeated.
  std::string RepeatNote(const std::string& note = "") const {
    if (o_.repeat <= 1) return note;
    const std::string median = "median of " + std::to_string(o_.repeat) + " runs";
    return note.empty() ? median : note + ", " + median;
  }

  void MeasureCat() {
    std::printf("cat over every file, at most 1000 files per process ...\n");
    std::fflush(stdout);
    const std::string log = logs_ + "/cat.log";
    std::vector<Row> runs;
    int processes = 0;
    for (uint64_t k = 0; k < o_.repeat; ++k) {
      Row row("cat (warm cache)");
      row.files = all_.size();
      row.bytes = totalBytes_;
      processes = 0;
      for (size_t i = 0; i < all_.size(); i += 1000) {
        std::vector<std::string> argv = {"cat", "--"};
        for (size_t j = i; j < std::min(all_.size(), i + 1000); ++j) argv.push_back(all_[j].path);
        row.Add(Step("cat", argv, "/dev/null", log));
        ++processes;
      }
      runs.push_back(row);
    }
    std::sort(runs.begin(), runs.end(),
              [](const Row& a, const Row& b) { return a.seconds < b.seconds; });
    Row row = runs[runs.size() / 2];
    for (const Row& r : runs) row.peakKiB = std::max(row.peakKiB, r.peakKiB);
    row.note = RepeatNote(std::to_string(processes) + " process(es), times summed");
    catRow_ = rows_.size();
    rows_.push_back(row);
  }

  void MeasureBzip2() {
    // A random sample of the small files, and every large file.
    std::vector<size_t> order(small_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    Random r(o_.seed ^ 0x5A17);
    const size_t take = static_cast<size_t>(std::min<uint64_t>(o_.sample, small_.size()));
    for (size_t i = 0; i < take; ++i) {
      std::swap(order[i], order[i + static_cast<size_t>(r.Below(order.size() - i))]);
    }
    order.resize(take);
    std::sort(order.begin(), order.end());
    for (size_t i : order) sampleSmall_.push_back(small_[i]);

    std::printf("bzip2 -9 on %zu sampled small files and %zu large files, one process each ...\n",
                sampleSmall_.size(), large_.size());
    std::fflush(stdout);
    const std::string log = logs_ + "/bzip2.log";
    Row smallRow{"bzip2 -9, sampled small files"};
    for (const auto& f : sampleSmall_) {
      const ChildResult c = Step("bzip2", {"bzip2", "-9", "-c", "--", f.path}, "/dev/null", log);
      smallRow.Add(c);
      smallRow.bytes += f.size;
      ++smallRow.files;
    }
    bzipLargeRow_ = rows_.size() + 1;  // pushed right after the small files' row
    Row largeRow{"bzip2 -9, large files"};
    for (const auto& f : large_) {
      const ChildResult c = Step("bzip2", {"bzip2", "-9", "-c", "--", f.path}, "/dev/null", log);
      largeRow.Add(c);
      largeRow.bytes += f.size;
      ++largeRow.files;
    }
    smallRow.measured = smallRow.files > 0;
    largeRow.measured = largeRow.files > 0;
    smallRow.note =
        "sample of " + std::to_string(smallRow.files) + " of " + std::to_string(small_.size());
    if (!smallRow.measured) smallRow.note = "no small files";
    if (!largeRow.measured) largeRow.note = "no large files";

    // The like-for-like pair for the compression ratio: sample plus large.
    Row pair{"bzip2 -9, sample + large"};
    pair.measured = smallRow.measured || largeRow.measured;
    pair.seconds = smallRow.seconds + largeRow.seconds;
    pair.cpuSeconds = smallRow.cpuSeconds + largeRow.cpuSeconds;
    pair.files = smallRow.files + largeRow.files;
    pair.bytes = smallRow.bytes + largeRow.bytes;
    pair.peakKiB = std::max(smallRow.peakKiB, largeRow.peakKiB);
    pair.note = "compared with our sample backup";

    // All files: the small files' time scaled by bytes from the sample.
    Row all{"bzip2 -9, all files (estimate)"};
    all.files = all_.size();
    all.bytes = totalBytes_;
    all.peakKiB = pair.peakKiB;
    all.measured = pair.measured;
    all.seconds = largeRow.seconds;
    all.cpuSeconds = largeRow.cpuSeconds;
    if (smallRow.bytes > 0) {
      const double scale =
          static_cast<double>(TotalBytes(small_)) / static_cast<double>(smallRow.bytes);
      all.seconds += smallRow.seconds * scale;
      all.cpuSeconds += smallRow.cpuSeconds * scale;
    }
    all.note = smallRow.files < small_.size() ? "SAMPLED: small files extrapolated by bytes"
                                              : "every file measured";
    rows_.push_back(smallRow);
    rows_.push_back(largeRow);
    bzipPairRow_ = rows_.size();
    rows_.push_back(pair);
    rows_.push_back(all);
  }

  // A first backup of a tree holding only the sampled small files and the
  // large files (second names for the same files), like for like with bzip2.
  void MeasureSampleBackup() {
    const std::string sampleSrc = work_ + "/sample-src";
    const std::string prefix = work_ + "/src/";
    for (const auto& f : sampleSmall_)
      LinkOrCopy(f.path, sampleSrc + "/" + f.path.substr(prefix.size()));
    for (const auto& f : large_) LinkOrCopy(f.path, sampleSrc + "/" + f.path.substr(prefix.size()));

    Store store;
    store.programFolder = work_ + "/prog-sample";
    store.root = work_ + "/store-sample";
    store.Create({sampleSrc});
    std::printf("first backup of the sample tree ...\n");
    std::fflush(stdout);
    Settle();
    const std::string log = logs_ + "/sample-backup.log";
    const ChildResult r = Step("sample backup", store.Command(o_.cli, {"backup"}), log);
    Row row{"first backup, sample + large"};
    row.Add(r);
    row.files = sampleSmall_.size() + large_.size();
    row.bytes = TotalBytes(sampleSmall_) + TotalBytes(large_);
    row.note = "like for like with bzip2 -9";
    samplePairRow_ = rows_.size();
    rows_.push_back(row);

    // The large files alone: compression with no per-file start-up cost on
    // either side.
    if (large_.empty()) return;
    Store largeStore;
    largeStore.programFolder = work_ + "/prog-large";
    largeStore.root = work_ + "/store-large";
    largeStore.Create({largeRoot_});
    std::printf("first backup of the large files alone ...\n");
    Settle();
    const std::string largeLog = logs_ + "/large-backup.log";
    const ChildResult l = Step("large backup", largeStore.Command(o_.cli, {"backup"}), largeLog);
    Row large("first backup, large files only");
    large.Add(l);
    large.files = large_.size();
    large.bytes = TotalBytes(large_);
    large.note = "like for like with bzip2 -9, large files";
    largeBackupRow_ = rows_.size();
    rows_.push_back(large);
  }

  static void LinkOrCopy(const std::string& from, const std::string& to) {
    fs::create_directories(fs::path(to).parent_path());
    std::error_code ec;
    fs::create_hard_link(from, to, ec);
    if (ec) fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  }

  void MeasureMainStore() {
    main_.programFolder = work_ + "/prog";
    main_.root = work_ + "/store";
    std::vector<std::string> dirs;
    if (!small_.empty()) dirs.push_back(smallRoot_);
    if (!large_.empty()) dirs.push_back(largeRoot_);
    main_.Create(dirs);

    const uint64_t files = all_.size();
    auto row = [&](const char* name, const ChildResult& r, const std::string& note) {
      Row x{name};
      x.Add(r);
      x.files = files;
      x.bytes = totalBytes_;
      x.note = note;
      return x;
    };

    std::printf("first backup ...\n");
    std::fflush(stdout);
    Settle();
    const ChildResult first =
        Step("first backup", main_.Command(o_.cli, {"backup"}), logs_ + "/first-backup.log");
    const uint64_t storeBytes = TreeBytes(main_.StationFolder());
    char note[128];
    std::snprintf(note, sizeof note, "store %.1f MB, %.1f%% of source",
                  static_cast<double>(storeBytes) / kMB,
                  100.0 * static_cast<double>(storeBytes) / static_cast<double>(totalBytes_));
    firstRow_ = rows_.size();
    rows_.push_back(row("first backup", first, note));

    std::printf("no-change backup ...\n");
    std::fflush(stdout);
    const std::string noChangeLog = logs_ + "/no-change-backup.log";
    const ChildResult again =
        Repeated("no-change backup", main_.Command(o_.cli, {"backup"}), noChangeLog);
    if (!FileContains(noChangeLog, "Aucune modification")) {
      problems_.push_back(
          "the second backup did not report that nothing changed (log: " + noChangeLog + ")");
    }
    noChangeRow_ = rows_.size();
    rows_.push_back(row("no-change backup", again, RepeatNote("same day, nothing changed")));

    const std::string daysLog = logs_ + "/days.log";
    Step("days", main_.Command(o_.cli, {"days"}), daysLog);
    const std::string day = LastLine(daysLog);
    if (day.empty()) {
      problems_.push_back("no backup day listed (log: " + daysLog + ")");
      return;
    }

    std::printf("verify ...\n");
    std::fflush(stdout);
    Settle();
    const std::string verifyLog = logs_ + "/verify.log";
    const ChildResult verify = Step("verify", main_.Command(o_.cli, {"verify", day}), verifyLog);
    rows_.push_back(row("verify", verify, LastLine(verifyLog)));

    std::printf("restore ...\n");
    std::fflush(stdout);
    Settle();
    const std::string restored = work_ + "/restored";
    const ChildResult restore =
        Step("restore", main_.Command(o_.cli, {"restore", day, "--to", restored}),
             logs_ + "/restore.log");
    const uint64_t restoredBytes = TreeBytes(restored);
    std::snprintf(note, sizeof note, "%.1f MB written back",
                  static_cast<double>(restoredBytes) / kMB);
    if (restoredBytes != totalBytes_) {
      problems_.push_back("restore wrote " + std::to_string(restoredBytes) +
                          " bytes, the source holds " + std::to_string(totalBytes_));
    }
    rows_.push_back(row("restore --to", restore, note));
    std::error_code ec;
    fs::remove_all(restored, ec);
  }

  // No-change runs on the small files alone, at N and at 2N files.
  void MeasureScaling() {
    if (small_.empty()) {
      problems_.push_back("--scaling needs small files");
      return;
    }
    auto backup = [&](const std::string& label) {
      Settle();
      const std::string log = logs_ + "/" + label + ".log";
      return std::make_pair(Step(label, main_.Command(o_.cli, {"backup"}), log), log);
    };
    auto noChange = [&](const std::string& label) {
      const std::string log = logs_ + "/" + label + ".log";
      return std::make_pair(Repeated(label, main_.Command(o_.cli, {"backup"}), log), log);
    };
    auto scalingRow = [&](const std::string& name, const ChildResult& r, uint64_t files,
                          uint64_t bytes, const std::string& note) {
      Row x{name};
      x.Add(r);
      x.files = files;
      x.bytes = bytes;
      x.note = note;
      return x;
    };

    std::printf("scaling: the backup set becomes the %zu small files alone ...\n", small_.size());
    std::fflush(stdout);
    main_.SetDirectories({smallRoot_});
    backup("scaling-list-rewrite");  // drops the large files from the list; nothing to compress
    const auto atN = noChange("scaling-no-change-N");
    if (!FileContains(atN.second, "Aucune modification")) {
      problems_.push_back("the no-change run at N found changes (log: " + atN.second + ")");
    }
    const uint64_t smallBytes = TotalBytes(small_);
    scalingN_ = rows_.size();
    rows_.push_back(
        scalingRow("no-change, N small files", atN.first, small_.size(), smallBytes, RepeatNote()));

    std::printf("scaling: %zu more small files ...\n", small_.size());
    std::fflush(stdout);
    const TextMaker text(o_.seed);
    const std::string moreRoot = work_ + "/src2/small";
    const auto more = MakeSmallFiles(text, moreRoot, o_.files, o_.files, o_.seed);
    ReadEverything(more);
    main_.SetDirectories({smallRoot_, moreRoot});
    const auto added = backup("scaling-add-N");
    const uint64_t moreBytes = TotalBytes(more);
    rows_.push_back(scalingRow("backup of N new small files", added.first, 2 * small_.size(),
                               smallBytes + moreBytes, "N stored, N unchanged; figures per 2N"));
    const auto at2N = noChange("scaling-no-change-2N");
    if (!FileContains(at2N.second, "Aucune modification")) {
      problems_.push_back("the no-change run at 2N found changes (log: " + at2N.second + ")");
    }
    scaling2N_ = rows_.size();
    rows_.push_back(scalingRow("no-change, 2N small files", at2N.first, 2 * small_.size(),
                               smallBytes + moreBytes, RepeatNote()));
  }

  void PrintRatios() const {
    auto measured = [&](size_t index) { return index < rows_.size() && rows_[index].measured; };
    std::printf("\nratios\n");
    std::optional<double> readRatio;
    if (measured(catRow_) && measured(noChangeRow_) && rows_[catRow_].MBPerSecond() > 0) {
      readRatio = rows_[noChangeRow_].MBPerSecond() / rows_[catRow_].MBPerSecond();
    }
    PrintRatio("no-change throughput / cat throughput", readRatio, ">= 0.80", true, 0.80);

    std::optional<double> packRatio;
    if (measured(bzipPairRow_) && measured(samplePairRow_) &&
        rows_[bzipPairRow_].MBPerSecond() > 0) {
      packRatio = rows_[samplePairRow_].MBPerSecond() / rows_[bzipPairRow_].MBPerSecond();
    }
    PrintRatio("first-backup throughput / bzip2 -9 (sample + large)", packRatio, ">= 0.95", true,
               0.95);
    std::optional<double> largeRatio;
    if (measured(bzipLargeRow_) && measured(largeBackupRow_) &&
        rows_[bzipLargeRow_].MBPerSecond() > 0) {
      largeRatio = rows_[largeBackupRow_].MBPerSecond() / rows_[bzipLargeRow_].MBPerSecond();
    }
    PrintRatio("first-backup throughput / bzip2 -9 (large files only)", largeRatio, ">= 0.95", true,
               0.95);

    std::optional<double> timeRatio;
    std::optional<double> perFile;
    std::optional<double> marginal;
    if (measured(scalingN_) && measured(scaling2N_) && rows_[scalingN_].seconds > 0) {
      const Row& a = rows_[scalingN_];
      const Row& b = rows_[scaling2N_];
      timeRatio = b.seconds / a.seconds;
      perFile = b.PeakBytesPerFile();
      marginal = static_cast<double>(b.peakKiB - a.peakKiB) * 1024.0 /
                 static_cast<double>(b.files - a.files);
    }
    PrintRatio("no-change time at 2N / at N", timeRatio, "< 2.2", false, 2.2);
    PrintRatio("peak memory per file at 2N, bytes", perFile, "< 1024", false, 1024, 0);
    PrintRatio("peak memory per added file (2N minus N), bytes", marginal, "< 1024", false, 1024,
               0);
    if (measured(firstRow_)) {
      PrintRatio("peak memory per file, first backup, bytes", rows_[firstRow_].PeakBytesPerFile(),
                 "< 1024", false, 1024, 0);
    }
    std::printf("MB = 10^6 bytes; peak = ru_maxrss of the child process.\n");
  }

  void Cleanup() {
    if (removeWork_) {
      std::error_code ec;
      fs::remove_all(work_, ec);
    } else {
      std::printf("work folder kept: %s (logs in %s)\n", work_.c_str(), logs_.c_str());
    }
  }

  static constexpr size_t kNone = static_cast<size_t>(-1);

  Options o_;
  Spawner& spawner_;
  std::string work_;
  std::string logs_;
  bool removeWork_ = false;
  std::string smallRoot_;
  std::string largeRoot_;
  std::vector<SourceFile> small_;
  std::vector<SourceFile> large_;
  std::vector<SourceFile> all_;
  std::vector<SourceFile> sampleSmall_;
  uint64_t totalBytes_ = 0;
  Store main_;
  std::vector<Row> rows_;
  std::vector<std::string> problems_;
  size_t catRow_ = kNone;
  size_t bzipPairRow_ = kNone;
  size_t samplePairRow_ = kNone;
  size_t bzipLargeRow_ = kNone;
  size_t largeBackupRow_ = kNone;
  size_t firstRow_ = kNone;
  size_t noChangeRow_ = kNone;
  size_t scalingN_ = kNone;
  size_t scaling2N_ = kNone;
};

}  // namespace

int main(int argc, char** argv) {
  // First of all, while this process is still small.
  Spawner spawner;
  spawner.Start();
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const int code = Bench(ParseOptions(argc, argv), spawner).Run();
  spawner.Stop();
  return code;
}
