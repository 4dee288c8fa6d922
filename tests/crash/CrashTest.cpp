// varnoket-crash-test: backs up a changing source day after day with the
// command-line tool under a faked date, stops each day's first run with
// SIGKILL at a random moment, lets a second run complete, and after each of
// them checks the store from outside: every day restores what its source
// held, verify finds nothing wrong, no day but the oldest goes, and a
// completed run leaves nothing behind that no day needs.
//
//   varnoket-crash-test [--seed S] [--count N] [--cli PATH] [--keep]
//
// N kill points, one per day after a first day that calibrates the length
// of a run. Exits 0 when every check holds, 1 on the first failure (with the
// seed, the day and the kill delay to repeat it), 77 when faketime is
// missing, 2 on bad arguments or a broken set-up.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "crash/CliRunner.h"
#include "crash/SourceTree.h"
#include "crash/StoreChecks.h"

namespace varnoket::crash {
namespace {

namespace fsys = std::filesystem;
namespace chr = std::chrono;

constexpr int kDaysKept = 3;
constexpr const char* kStation = "CRASH";

struct Options {
  uint64_t seed = 0;
  bool seedGiven = false;
  int count = 20;
  std::string cli = VARNOKET_CLI_PATH;
  bool keep = false;
};

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--seed" && hasValue) {
      o.seed = std::stoull(argv[++i]);
      o.seedGiven = true;
    } else if (a == "--count" && hasValue) {
      o.count = std::stoi(argv[++i]);
    } else if (a == "--cli" && hasValue) {
      o.cli = argv[++i];
    } else if (a == "--keep") {
      o.keep = true;
    } else {
      return false;
    }
  }
  return o.count >= 0;
}

void WriteText(const std::string& path, const std::string& text) {
  fsys::create_directories(fsys::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string TwoDigits(unsigned v) {
  return (v < 10 ? "0" : "") + std::to_string(v);
}

class CrashTest {
 public:
  CrashTest(const Options& o, std::string work)
      : o_(o),
        work_(std::move(work)),
        tree_(work_ + "/src", o.seed),
        cli_(o.cli, work_ + "/prog", kStation, work_ + "/cli-output.txt"),
        killGen_(o.seed ^ 0x9e3779b97f4a7c15ULL) {
    WriteText(work_ + "/prog/VARNOKET.INI",
              "[PARAMS]\r\nRACINE=" + work_ +
                  "/store\r\nHEURE=0\r\nMINUTE=0\r\nMAXSAVE=" + std::to_string(kDaysKept) + "\r\n");
    WriteText(work_ + "/store/VARNOKET.STORE",
              "[STORE]\r\nID=0123456789abcdef0123456789abcdef\r\nCREATED=2026-01-01 00:00:00\r\n");
    WriteText(StationFolder() + "/" + kStation + ".ini",
              "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n[DIRECTORIES]\r\nD1=" + tree_.root() + "\r\n");
  }

  int Run() {
    chr::sys_days date = chr::year{2026} / chr::January / 1;
    int stopped = 0;
    for (int n = 0; n <= o_.count; ++n, date += chr::days{1}) {
      const chr::year_month_day ymd(date);
      const auto d = static_cast<unsigned>(ymd.day());
      const auto m = static_cast<unsigned>(ymd.month());
      const int y = static_cast<int>(ymd.year());
      day_ = TwoDigits(d) + "/" + TwoDigits(m) + "/" + std::to_string(y);
      const std::string iso = std::to_string(y) + "-" + TwoDigits(m) + "-" + TwoDigits(d);
      const std::string changes = tree_.ChangeOneDay(n == 0);
      images_[day_] = tree_.Image();

      std::string killText = "no kill (calibration)";
      killDelay_ = -1;
      bool stoppedToday = false;
      if (n > 0) {
        killDelay_ = std::uniform_real_distribution<double>(0, AverageRun())(killGen_);
        const RunResult r = cli_.Backup(iso, killDelay_);
        stopped += r.killed ? 1 : 0;
        stoppedToday = r.killed;
        if (!r.killed) Measured(r.milliseconds);
        killText = "kill at " + std::to_string(static_cast<int>(killDelay_)) +
                   " ms: " + (r.killed ? "stopped" : "had ended");
        if (!Check("after the stopped run", false)) return 1;
      }
      const RunResult done = cli_.Backup(iso, -1);
      if (done.exitCode != 0) {
        return Fail("the completed run",
                    "backup exited with " + std::to_string(done.exitCode) + ":\n" + done.output);
      }
      // After a run that ended by itself this one finds nothing to do: only
      // a run that did the day's work tells how long a run lasts.
      if (n == 0 || stoppedToday) Measured(done.milliseconds);
      if (!Check("after the completed run", true)) return 1;
      for (auto it = images_.begin(); it != images_.end();) {
        it = std::find(days_.begin(), days_.end(), it->first) == days_.end() ? images_.erase(it)
                                                                             : std::next(it);
      }
      std::printf("day %s [%s]: %zu files, %.1f MB; %s; completed in %d ms; %zu days kept: ok\n",
                  day_.c_str(), changes.c_str(), tree_.FileCount(),
                  static_cast<double>(tree_.Bytes()) / 1e6, killText.c_str(),
                  static_cast<int>(done.milliseconds), days_.size());
      std::fflush(stdout);
    }
    std::printf(
        "%d kill points, seed %llu: all checks passed (%d stopped a run, %d came after "
        "its end)\n",
        o_.count, static_cast<unsigned long long>(o_.seed), stopped, o_.count - stopped);
    return 0;
  }

 private:
  std::string StationFolder() const { return work_ + "/store/" + kStation; }
  // The kill delay is drawn between 0 and the mean length of the runs that
  // did a whole day's work.
  double AverageRun() const { return runs_ == 0 ? 1000 : runMs_ / runs_; }
  void Measured(double ms) {
    runMs_ += ms;
    ++runs_;
  }

  // The four checks; the last one only after a completed run.
  bool Check(const std::string& when, bool completed) {
    std::vector<std::string> now;
    std::string error;
    if (!ListDays(cli_, now, error)) return Fail(when, "listing the days: " + error) == 0;
    std::string problem = CheckRestores(cli_, now, images_, tree_.root(), work_);
    if (!problem.empty()) return Fail(when, "check 1 (restore): " + problem) == 0;
    problem = CheckVerify(cli_);
    if (!problem.empty()) return Fail(when, "check 2 (verify): " + problem) == 0;
    problem = CheckDaySet(days_, now, day_, kDaysKept);
    if (!problem.empty()) return Fail(when, "check 3 (kept days): " + problem) == 0;
    if (completed) {
      problem = CheckStationFolder(StationFolder(), kStation);
      if (!problem.empty()) return Fail(when, "check 4 (station folder): " + problem) == 0;
    }
    days_ = now;
    return true;
  }

  int Fail(const std::string& when, const std::string& what) {
    std::printf("FAILED: seed %llu, day %s, kill delay %s, %s: %s\n",
                static_cast<unsigned long long>(o_.seed), day_.c_str(),
                killDelay_ < 0 ? "none" : (std::to_string(killDelay_) + " ms").c_str(),
                when.c_str(), what.c_str());
    std::printf("repeat with: varnoket-crash-test --seed %llu --count %d (store kept in %s)\n",
                static_cast<unsigned long long>(o_.seed), o_.count, work_.c_str());
    failed_ = true;
    return 1;
  }

 public:
  bool failed() const { return failed_; }

 private:
  const Options& o_;
  std::string work_;
  SourceTree tree_;
  CliRunner cli_;
  std::mt19937_64 killGen_;
  std::map<std::string, SourceImage> images_;  // day text -> the source that day
  std::vector<std::string> days_;              // the days listed after the last check
  std::string day_;
  double killDelay_ = -1;
  double runMs_ = 0;
  int runs_ = 0;
  bool failed_ = false;
};

int Main(int argc, char** argv) {
  Options o;
  try {
    if (!ParseOptions(argc, argv, o)) {
      std::fprintf(stderr,
                   "usage: varnoket-crash-test [--seed S] [--count N] [--cli PATH] "
                   "[--keep]\n");
      return 2;
    }
  } catch (const std::exception&) {
    std::fprintf(stderr, "varnoket-crash-test: --seed and --count take numbers\n");
    return 2;
  }
  if (!CliRunner::HaveFaketime()) {
    std::printf(
        "faketime is not installed (scripts/install-deps.sh --with-tools): crash test "
        "skipped\n");
    return 77;
  }
  if (!o.seedGiven) o.seed = std::random_device()();
  if (!CliRunner::AdoptOrphans()) {
    std::fprintf(stderr, "varnoket-crash-test: cannot adopt orphaned processes\n");
    return 2;
  }
  std::string pattern = (fsys::temp_directory_path() / "varnoket-crash-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 2;
  std::printf("seed %llu, %d kill points, work folder %s\n",
              static_cast<unsigned long long>(o.seed), o.count, pattern.c_str());
  int code = 0;
  bool failed = false;
  try {
    CrashTest test(o, pattern);
    code = test.Run();
    failed = test.failed();
  } catch (const std::exception& e) {
    std::printf("FAILED: seed %llu: %s\n", static_cast<unsigned long long>(o.seed), e.what());
    code = 2;
    failed = true;
  }
  if (!failed && !o.keep) {
    std::error_code ec;
    fsys::remove_all(pattern, ec);
  }
  return code;
}

}  // namespace
}  // namespace varnoket::crash

int main(int argc, char** argv) {
  return varnoket::crash::Main(argc, argv);
}
