// The built program itself, started as a person or the update logic starts
// it: a second start while the user's instance marker is held and nothing
// answers ends with one line and code 1; a downloaded update that finds the
// old program still running says so and replaces nothing; without a display
// the program says what to use instead. Then, on a /tmp of its own, what
// another local user can do: run their own copy beside this user's, hold the
// machine-wide marker of older versions, take this user's fallback folder
// first, own the folder $XDG_RUNTIME_DIR names. None of it stops this user's
// program; each place refused is named, and with no safe place at all the
// program ends saying so.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/InstanceLock.h"
#include "support/OtherUser.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

struct Result {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

// Variables to set for a run; an empty value unsets the variable.
using Environment = std::map<std::string, std::string>;

// Runs `program` with no display and waits for it (up to a minute); as the
// other user when `otherUser`.
Result RunProgram(const std::string& program, const Environment& env, bool otherUser = false) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipeFds[1], 1);
    ::dup2(pipeFds[1], 2);
    ::close(pipeFds[0]);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    for (const auto& [name, value] : env) {
      if (value.empty()) {
        ::unsetenv(name.c_str());
      } else {
        ::setenv(name.c_str(), value.c_str(), 1);
      }
    }
    if (otherUser && !BecomeOtherUser()) ::_exit(126);
    ::alarm(60);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  Result result;
  char buffer[512];
  ssize_t n;
  while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
    result.output.append(buffer, static_cast<size_t>(n));
  }
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string CopyProgram(const std::string& to) {
  std::filesystem::create_directories(std::filesystem::path(to).parent_path());
  std::filesystem::copy_file(VARNOKET_PROGRAM, to);
  return to;
}

TEST(ProgramEntry, SecondStartsStaleUpdatesAndMissingDisplays) {
  TempDir dir;
  const std::string installed = CopyProgram(dir / "prog/varnoket");
  const auto before = std::filesystem::file_size(installed);
  // A runtime folder of the test's own: no copy the developer runs stands
  // in the way.
  PrivateFolderPlaces places = ThisUsersPlaces();
  places.runtimeDir = dir / "run";
  std::filesystem::create_directory(places.runtimeDir);
  std::filesystem::permissions(places.runtimeDir, std::filesystem::perms::owner_all);
  // The C locale: the program speaks French.
  const Environment env{{"XDG_RUNTIME_DIR", places.runtimeDir},
                        {"LC_ALL", ""},
                        {"LC_MESSAGES", ""},
                        {"LANGUAGE", ""},
                        {"LANG", "C"}};
  InstanceLock lock(places);

  // Free marker, no display: the program says what to use instead.
  const Result headless = RunProgram(installed, env);
  EXPECT_EQ(headless.exitCode, 2);
  EXPECT_NE(headless.output.find("varnoket-cli"), std::string::npos) << headless.output;
  EXPECT_NE(headless.output.find("aucun affichage"), std::string::npos) << headless.output;

  // The same under an English locale, in English.
  Environment english = env;
  english["LANG"] = "en_US.UTF-8";
  const Result headlessEnglish = RunProgram(installed, english);
  EXPECT_EQ(headlessEnglish.exitCode, 2);
  EXPECT_NE(headlessEnglish.output.find("varnoket: no display (DISPLAY) is available"),
            std::string::npos)
      << headlessEnglish.output;

  // Marker held and nobody listening: a second start ends after its probes
  // and says why nothing opened.
  ASSERT_EQ(lock.TryAcquire(), InstanceLockStatus::kAcquired);
  const Result second = RunProgram(installed, env);
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_EQ(second.output,
            "varnoket: le programme tourne déjà pour cet utilisateur mais ne répond pas ; rien "
            "n'est ouvert.\n");
  // Under an English locale the same line is English, before any window.
  EXPECT_EQ(RunProgram(installed, english).output,
            "varnoket: the program is already running for this user but does not answer; "
            "nothing is opened.\n");

  // A downloaded update that finds the old program still running.
  const std::string update = CopyProgram(dir / "prog/upload/_FILE1.exe");
  const Result stale = RunProgram(update, env);
  EXPECT_EQ(stale.exitCode, 0);
  EXPECT_NE(stale.output.find("Impossible d'effectuer la mise à jour l'ancien programme sur ce "
                              "poste ne s'est pas arrêté correctement !"),
            std::string::npos)
      << stale.output;
  EXPECT_FALSE(std::filesystem::exists(dir / "prog/__newver.$$$"));
  EXPECT_EQ(std::filesystem::file_size(installed), before);
}

// The runs of the test below, made in a child process that has a /tmp of its
// own (a private mount namespace with an empty file system on /tmp), so the
// machine's real /tmp, and the copies of the program other people run, are
// neither seen nor touched.
struct PrivateTmpRuns {
  std::string refused;  // why the private /tmp could not be had; "" when it was
  std::string failed;   // what went wrong in the runs' own set-up; "" when nothing
  Result theirs;        // the other user's program, this user's marker held
  bool theirMarker = false;
  Result besideForeignPlaces;  // this user's program, the other user in its places
  bool markerInCache = false;
  Result noSafePlace;  // the same, with no home folder to fall back on
};

// Copies the open file `from` to `to`, executable.
bool CopyOpenFile(int from, const std::string& to) {
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
  if (out < 0) return false;
  char buffer[1 << 16];
  ssize_t n;
  bool ok = ::lseek(from, 0, SEEK_SET) == 0;
  while (ok && (n = ::read(from, buffer, sizeof buffer)) > 0) {
    ok = ::write(out, buffer, static_cast<size_t>(n)) == n;
  }
  return ::close(out) == 0 && ok && n == 0;
}

void MakeFolder(const std::string& path, mode_t mode, uid_t owner) {
  ::mkdir(path.c_str(), mode);
  ::chmod(path.c_str(), mode);
  if (::chown(path.c_str(), owner, owner) != 0) std::perror(path.c_str());
}

// Each Result as "exit code, size, bytes", in order, through `fd`.
void SendResults(int fd, const std::vector<Result>& results, const std::vector<bool>& flags) {
  std::string text;
  for (const Result& r : results) {
    text += std::to_string(r.exitCode) + " " + std::to_string(r.output.size()) + " " + r.output;
  }
  for (bool flag : flags) text += flag ? '1' : '0';
  (void)!::write(fd, text.data(), text.size());
}

PrivateTmpRuns RunOnAPrivateTmp(const std::string& program) {
  PrivateTmpRuns runs;
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) {
    runs.failed = "no pipe";
    return runs;
  }
  const int programFd = ::open(program.c_str(), O_RDONLY | O_CLOEXEC);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipeFds[0]);
    const auto fail = [&](const char* why, int code = 1) {
      (void)!::write(pipeFds[1], why, std::strlen(why));
      ::_exit(code);
    };
    if (::unshare(CLONE_NEWNS) != 0) fail("no mount namespace of its own", 77);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", "/tmp", "tmpfs", MS_NOSUID | MS_NODEV, "mode=1777") != 0) {
      fail("no /tmp of its own", 77);
    }
    MakeFolder("/tmp/prog", 0755, 0);
    if (programFd < 0 || !CopyOpenFile(programFd, "/tmp/prog/varnoket")) fail("no program copy");
    const uid_t me = ::geteuid();
    MakeFolder("/tmp/run-" + std::to_string(me), 0700, me);
    MakeFolder("/tmp/run-other", 0700, kOtherUid);
    MakeFolder("/tmp/home", 0755, me);

    // This user's program holds its marker; the other user's starts.
    PrivateFolderPlaces mine = ThisUsersPlaces();
    mine.runtimeDir = "/tmp/run-" + std::to_string(me);
    InstanceLock held(mine);
    if (held.TryAcquire() != InstanceLockStatus::kAcquired) fail("no marker for this user");
    const Result theirs =
        RunProgram("/tmp/prog/varnoket", {{"XDG_RUNTIME_DIR", "/tmp/run-other"}}, true);
    const bool theirMarker = ::access("/tmp/run-other/varnoket.lock", F_OK) == 0;
    held.Release();

    // The other user holds the marker older versions shared between all
    // users, has made this user's fallback folder first, and this user's
    // $XDG_RUNTIME_DIR names the other user's runtime folder.
    const std::string myFallback = "/tmp/varnoket-" + std::to_string(me);
    OtherUserHolding old([&](std::shared_ptr<void>& keep) {
      const int fd = ::open("/tmp/varnoket.lock", O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
      keep = std::shared_ptr<void>(nullptr, [fd](void*) { ::close(fd); });
      return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
             ::mkdir(myFallback.c_str(), 0777) == 0 && ::chmod(myFallback.c_str(), 0777) == 0;
    });
    if (!old.holds()) fail("the other user could not take the old marker");
    const Result beside = RunProgram(
        "/tmp/prog/varnoket", {{"XDG_RUNTIME_DIR", "/tmp/run-other"}, {"HOME", "/tmp/home"}});
    const bool inCache = ::access("/tmp/home/.cache/varnoket/varnoket.lock", F_OK) == 0;

    // No home folder to fall back on: a file stands where it should be.
    if (::close(::open("/tmp/no-home", O_WRONLY | O_CREAT, 0644)) != 0) fail("no file");
    const Result none = RunProgram(
        "/tmp/prog/varnoket", {{"XDG_RUNTIME_DIR", "/tmp/run-other"}, {"HOME", "/tmp/no-home"}});
    SendResults(pipeFds[1], {theirs, beside, none}, {theirMarker, inCache});
    ::_exit(0);
  }
  if (programFd >= 0) ::close(programFd);
  ::close(pipeFds[1]);
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    const bool refused = WIFEXITED(status) && WEXITSTATUS(status) == 77;
    (refused ? runs.refused : runs.failed) = text.empty() ? "the child died" : text;
    return runs;
  }
  size_t at = 0;
  const auto next = [&](Result& r) {
    const size_t space = text.find(' ', at);
    const size_t space2 = text.find(' ', space + 1);
    r.exitCode = std::stoi(text.substr(at, space - at));
    const size_t size = std::stoul(text.substr(space + 1, space2 - space - 1));
    r.output = text.substr(space2 + 1, size);
    at = space2 + 1 + size;
  };
  next(runs.theirs);
  next(runs.besideForeignPlaces);
  next(runs.noSafePlace);
  runs.theirMarker = text.substr(at, 1) == "1";
  runs.markerInCache = text.substr(at + 1, 1) == "1";
  return runs;
}

TEST(ProgramEntry, NoOtherUserCanStopThisUsersProgram) {
  std::string why;
  if (!CanActAsOtherUser(why)) GTEST_SKIP() << why;
  if (::geteuid() != 0) GTEST_SKIP() << "the program's runs as this user expect uid 0 here";
  TempDir dir;
  const PrivateTmpRuns runs = RunOnAPrivateTmp(CopyProgram(dir / "prog/varnoket"));
  if (!runs.refused.empty()) GTEST_SKIP() << "a /tmp of the test's own: " << runs.refused;
  ASSERT_EQ(runs.failed, "");

  // Another user's program, this user's marker held: it takes its own
  // marker and goes on to its display check instead of ending.
  EXPECT_EQ(runs.theirs.exitCode, 2) << runs.theirs.output;
  EXPECT_NE(runs.theirs.output.find("varnoket-cli"), std::string::npos) << runs.theirs.output;
  EXPECT_TRUE(runs.theirMarker);

  // The other user's old marker held, this user's fallback folder theirs,
  // $XDG_RUNTIME_DIR theirs: the program runs, its marker in the cache
  // folder, and the system log says why the other places were refused.
  EXPECT_EQ(runs.besideForeignPlaces.exitCode, 2) << runs.besideForeignPlaces.output;
  EXPECT_TRUE(runs.markerInCache);
  EXPECT_NE(runs.besideForeignPlaces.output.find(
                "varnoket: Le marqueur du programme est placé dans (/tmp/home/.cache/varnoket) : "
                "le dossier (/tmp/run-other) appartient à un autre utilisateur ; le dossier "
                "(/tmp/varnoket-0) appartient à un autre utilisateur.\n"),
            std::string::npos)
      << runs.besideForeignPlaces.output;

  // No safe place at all: the program ends with code 1 and names each
  // refused place, rather than run unmarked.
  EXPECT_EQ(runs.noSafePlace.exitCode, 1) << runs.noSafePlace.output;
  EXPECT_EQ(runs.noSafePlace.output,
            "ERREUR: Aucun dossier sûr de cet utilisateur ne peut recevoir le marqueur du "
            "programme.\r\nle dossier (/tmp/run-other) appartient à un autre utilisateur\r\nle "
            "dossier (/tmp/varnoket-0) appartient à un autre utilisateur\r\nimpossible de créer "
            "le dossier (/tmp/no-home/.cache/varnoket) : Not a directory\n");
}

}  // namespace
}  // namespace varnoket::test
