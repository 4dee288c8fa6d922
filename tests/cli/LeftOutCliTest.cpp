// varnoket-cli backup when part of the set could not be saved, on real
// files: a pipe, a hidden folder left out by the set's setting, a source
// disk that is not mounted, a folder the person running the backup may not
// read. Each run still makes its day, names what it left out, and ends with
// exit code 8; nothing stored before is lost.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "cli/CliRunner.h"
#include "cli/StoreCliFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

constexpr int kExitLeftOut = 8;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class LeftOutCliTest : public StoreCliFixture {
 protected:
  std::string Log() const { return ReadFile(Station() + "/LASTBACKUP.LOG"); }
  // Every file a day gives back, restored into a fresh folder: path below
  // the source -> bytes.
  std::map<std::string, std::string> Restored(const std::string& day) {
    const std::string out = tmp / ("restored-" + std::to_string(++restores_));
    const CliOutput r = Cli("restore " + day + " --to " + Quoted(out));
    EXPECT_EQ(r.code, 0) << r.out;
    std::map<std::string, std::string> files;
    if (!fsys::exists(out + src)) return files;
    for (const auto& e : fsys::recursive_directory_iterator(out + src)) {
      if (e.is_regular_file()) {
        files[e.path().string().substr(out.size() + src.size())] = ReadFile(e.path().string());
      }
    }
    return files;
  }

  int last_ = 0;  // the wait status of the last run as another user

 private:
  int restores_ = 0;
};

TEST_F(LeftOutCliTest, APipeAndHiddenFoldersAreNamedAndHiddenFoldersAreTheSetsChoice) {
  WriteFile(src + "/report.txt", "report");
  WriteFile(src + "/.config/app/settings.conf", "settings");
  WriteFile(src + "/.cache/big.bin", "cache");
  ASSERT_EQ(::mkfifo((src + "/pipe").c_str(), 0644), 0);

  // A set made before the setting existed keeps leaving hidden folders out,
  // and says so; the pipe is the one problem.
  const CliOutput first = Cli("backup");
  EXPECT_EQ(first.code, kExitLeftOut) << first.out;
  EXPECT_TRUE(Contains(first.out, "Sauvegarde terminée avec 1 élément(s) non sauvegardé(s)"))
      << first.out;
  const std::string log = Log();
  EXPECT_TRUE(Contains(log, "(" + src + "/pipe) est un tube")) << log;
  EXPECT_TRUE(Contains(log, "Le dossier caché (" + src + "/.config)")) << log;
  EXPECT_TRUE(Contains(log, "Sauvegarde terminée avec 1 élément(s)")) << log;
  const std::string status = Cli("status").out;
  EXPECT_TRUE(Contains(status, "Dossiers cachés : laissés de côté\n")) << status;
  EXPECT_TRUE(Contains(status, ", incomplète : Sauvegarde terminée avec 1 élément(s)")) << status;
  MoveNewDayTo("01012025");
  EXPECT_EQ(Restored("01/01/2025").count("/.config/app/settings.conf"), 0u);

  EXPECT_EQ(Cli("hidden-folders maybe").code, 2);
  const CliOutput on = Cli("hidden-folders on");
  ASSERT_EQ(on.code, 0) << on.out;
  EXPECT_TRUE(Contains(on.out, "Dossiers cachés : inclus")) << on.out;
  EXPECT_TRUE(Contains(ReadFile(Station() + "/PC.ini"), "DOSSIERS_CACHES=1")) << on.out;

  fsys::remove(src + "/pipe");
  const CliOutput second = Cli("backup");
  EXPECT_EQ(second.code, 0) << second.out;
  MoveNewDayTo("02012025");
  const auto day = Restored("02/01/2025");
  EXPECT_EQ(day.at("/.config/app/settings.conf"), "settings");
  EXPECT_EQ(day.at("/report.txt"), "report");
  EXPECT_EQ(day.count("/.cache/big.bin"), 0u);  // the desktop's cache, either way
}

// A loop-mounted file system stands for the person's data disk.
class MountedSource {
 public:
  explicit MountedSource(const std::string& image, const std::string& at) : at_(at) {
    const std::string make = "truncate -s 16M " + Quoted(image) + " && mkfs.ext2 -q -F " +
                             Quoted(image) + " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) {
      why_ = "mkfs.ext2 is not available";
      return;
    }
    mounted_ =
        std::system(
            ("mount -o loop " + Quoted(image) + " " + Quoted(at) + " >/dev/null 2>&1").c_str()) ==
        0;
    if (!mounted_) why_ = "this machine does not allow loop mounts";
  }
  ~MountedSource() { Unmount(); }
  bool Unmount() {
    if (mounted_ && ::umount2(at_.c_str(), MNT_DETACH) == 0) mounted_ = false;
    return !mounted_;
  }
  bool mounted() const { return mounted_; }
  const std::string& why() const { return why_; }

 private:
  std::string at_;
  bool mounted_ = false;
  std::string why_;
};

TEST_F(LeftOutCliTest, AnUnmountedSourceDiskKeepsItsFilesAndTheRunSaysSo) {
  fsys::create_directories(src);
  MountedSource disk(tmp / "disk.img", src);
  if (!disk.mounted()) GTEST_SKIP() << disk.why();
  WriteFile(src + "/thesis.odt", "three years of work");
  WriteFile(src + "/data/results.csv", "1,2,3");
  BackUpAs("01012025");

  // The disk is not mounted: its mount point is an empty folder. Nothing
  // else changed, so no day is made; the day that holds the files stays.
  const std::map<std::string, std::string> saved = {{"/thesis.odt", "three years of work"},
                                                    {"/data/results.csv", "1,2,3"}};
  ASSERT_TRUE(disk.Unmount());
  const CliOutput empty = Cli("backup");
  EXPECT_EQ(empty.code, kExitLeftOut) << empty.out;
  EXPECT_TRUE(Contains(Log(), "ATTENTION: Le dossier à sauvegarder (" + src +
                                  ") n'est plus sur le même disque qu'à la sauvegarde "
                                  "précédente (disque non monté"))
      << Log();
  EXPECT_EQ(Cli("days").out, "01/01/2025\n");
  EXPECT_EQ(Restored("01/01/2025"), saved);

  // Something wrote into the mount point meanwhile: not empty, but not the
  // disk the folder was on either. What it holds is not taken for the disk.
  WriteFile(src + "/stray.tmp", "written while the disk was away");
  const CliOutput other = Cli("backup");
  EXPECT_EQ(other.code, kExitLeftOut) << other.out;
  EXPECT_EQ(Cli("days").out, "01/01/2025\n");
  EXPECT_EQ(Restored("01/01/2025"), saved);
}

// Run as an unprivileged user, who may not read one folder of the set.
TEST_F(LeftOutCliTest, AFolderTheUserMayNotReadKeepsWhatWasSavedBeforeIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the tool as another user";
  if (std::system("command -v setpriv >/dev/null") != 0) GTEST_SKIP() << "no setpriv";
  WriteFile(src + "/private/plan.txt", "the plan");
  WriteFile(src + "/open.txt", "open");
  const std::string asNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups " +
                               std::string(VARNOKET_CLI_PATH) + " " + prog;
  const auto runAsNobody = [&](const std::string& args) {
    ASSERT_EQ(std::system(("chown -R 65534:65534 " + Quoted(tmp.path())).c_str()), 0);
    ASSERT_EQ(::chmod(tmp.path().c_str(), 0755), 0);
    last_ = std::system((asNobody + args + " >" + Quoted(tmp / "out.txt") + " 2>&1").c_str());
  };
  runAsNobody("backup");
  if (!WIFEXITED(last_) || WEXITSTATUS(last_) != 0) {
    GTEST_SKIP() << "the tool cannot run as user 65534 here: " << ReadFile(tmp / "out.txt");
  }
  MoveNewDayTo("01012025");

  ASSERT_EQ(::chmod((src + "/private").c_str(), 0), 0);
  WriteFile(src + "/open.txt", "open, edited");
  runAsNobody("backup");
  EXPECT_EQ(WEXITSTATUS(last_), kExitLeftOut) << ReadFile(tmp / "out.txt");
  EXPECT_TRUE(Contains(Log(), "ERREUR: impossible de lire le répertoire (" + src + "/private)"))
      << Log();
  MoveNewDayTo("02012025");
  ASSERT_EQ(::chmod((src + "/private").c_str(), 0755), 0);
  const std::map<std::string, std::string> expected = {{"/private/plan.txt", "the plan"},
                                                       {"/open.txt", "open, edited"}};
  EXPECT_EQ(Restored("02/01/2025"), expected);
}

}  // namespace
}  // namespace varnoket::test
