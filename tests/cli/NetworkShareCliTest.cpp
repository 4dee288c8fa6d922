// A store on a real network share (sshfs over this machine's loopback): used
// only once the person allows it, backed up and restored through the
// network, and a share that drops during a run leaves no list naming a
// partial copy while the next run completes the day.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli/CliRunner.h"
#include "support/SshShare.h"
#include "support/TestBytes.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// Starts `args` like RunTool, without waiting: the child's id.
pid_t StartTool(const std::string& args) {
  const std::string command =
      std::string(VARNOKET_CLI_PATH) + " " + args + " >/dev/null 2>&1 </dev/null";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

bool HasCopyInProgress(const std::string& station) {
  std::error_code error;
  for (const auto& e : fsys::recursive_directory_iterator(station, error)) {
    if (e.path().filename().string().rfind("copy-", 0) == 0) return true;
  }
  return false;
}

TEST(NetworkShareCli, AShareIsAStoreOnlyWhenAllowedAndADropMidRunListsNothingHalfMade) {
  TempDir tmp;
  SshShare share(tmp / "ssh", tmp / "exported", tmp / "nas");
  if (!share.Mounted()) GTEST_SKIP() << share.why();
  const std::string prog = "--program-folder " + Quoted(tmp / "prog") + " --station PC ";
  fsys::create_directories(tmp / "prog");
  fsys::create_directories(tmp / "nas/backups");
  const std::string big = RandomBytes(12'000'000, 3);
  WriteFile(tmp / "src/notes.txt", "notes");
  WriteFile(tmp / "src/big.bin", big);

  const CliOutput refused = RunTool(prog + "config store " + Quoted(tmp / "nas/backups"));
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("partage réseau"), std::string::npos) << refused.err;
  ASSERT_EQ(RunTool(prog + "config network-store on").code, 0);
  const CliOutput taken = RunTool(prog + "config store " + Quoted(tmp / "nas/backups"));
  ASSERT_EQ(taken.code, 0) << taken.err;
  ASSERT_EQ(RunTool(prog + "add " + Quoted(tmp / "src")).code, 0);
  const CliOutput first = RunTool(prog + "backup", "", true);
  ASSERT_EQ(first.code, 0) << first.out;
  // The copies went through the network to the served folder.
  EXPECT_TRUE(fsys::exists(tmp / "exported/backups/PC"));

  // The share drops while the big file is copied.
  WriteFile(tmp / "src/big.bin", RandomBytes(12'000'000, 4));
  const pid_t run = StartTool(prog + "backup");
  for (int i = 0; i < 600 && !HasCopyInProgress(tmp / "exported/backups/PC"); ++i) ::usleep(50000);
  share.Drop();
  int status = 0;
  ::waitpid(run, &status, 0);
  EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run ended before the drop";

  ASSERT_TRUE(share.Mount()) << share.why();
  // What the dropped run left: every listed day still restores as listed.
  const CliOutput left = RunTool(prog + "verify", "", true);
  EXPECT_EQ(left.code, 0) << left.out;
  const CliOutput again = RunTool(prog + "backup", "", true);
  ASSERT_EQ(again.code, 0) << again.out;
  EXPECT_EQ(RunTool(prog + "verify").code, 0);
  const std::string days = RunTool(prog + "days").out;
  const std::string today = days.substr(days.rfind('/') - 5, 10);
  ASSERT_EQ(RunTool(prog + "restore " + today + " --to " + Quoted(tmp / "out")).code, 0);
  EXPECT_EQ(ReadFile(tmp / ("out" + (tmp / "src/big.bin"))), RandomBytes(12'000'000, 4));

  // Off again: the share is no store.
  ASSERT_EQ(RunTool(prog + "config network-store off").code, 0);
  EXPECT_EQ(RunTool(prog + "backup").code, 2);
}

}  // namespace
}  // namespace varnoket::test
