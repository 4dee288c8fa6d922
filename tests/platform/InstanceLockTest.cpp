#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/InstanceLock.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

// Runs `body` in a child process and returns its exit status.
int InChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstanceLock, ASecondProcessFindsTheMarkerTakenUntilItIsReleased) {
  test::TempDir tmp;
  const std::string path = tmp / "varnoket.lock";
  InstanceLock first(path);
  ASSERT_TRUE(first.TryAcquire());
  int waits = 0;
  EXPECT_EQ(InChild([&] {
              InstanceLock second(path);
              return ProbeInstance(second, 10, [&] { ++waits; }) ? 1 : 10 + waits;
            }),
            10 + 9);  // ten attempts, nine waits between them, then give up
  first.Release();
  EXPECT_EQ(InChild([&] {
              InstanceLock second(path);
              return ProbeInstance(second, 10, {}) ? 1 : 0;
            }),
            1);
}

TEST(InstanceLock, AProcessThatEndsLeavesTheMarkerFree) {
  test::TempDir tmp;
  const std::string path = tmp / "varnoket.lock";
  // The child takes the marker and ends at once, releasing nothing itself.
  EXPECT_EQ(InChild([&] {
              InstanceLock held(path);
              ::_exit(held.TryAcquire() ? 0 : 1);
              return 2;
            }),
            0);
  InstanceLock after(path);
  EXPECT_TRUE(after.TryAcquire());
}

TEST(InstanceLock, TheUpdateRoleBelongsToTheUpdateProgramNameInAnyCase) {
  EXPECT_EQ(RoleOf("/opt/varnoket/upload/_file1.exe"), ProgramRole::kUpdate);
  EXPECT_EQ(RoleOf("/opt/varnoket/upload/_FILE1.exe"), ProgramRole::kUpdate);
  EXPECT_EQ(RoleOf("C:\\Prog\\upload\\_FILE1.EXE"), ProgramRole::kUpdate);
  EXPECT_EQ(RoleOf("/opt/varnoket/upload/_FILE2"), ProgramRole::kNormal);
  EXPECT_EQ(RoleOf("/opt/varnoket/varnoket"), ProgramRole::kNormal);
  EXPECT_EQ(RoleOf("/opt/varnoket/_FILE1.EXE.old"), ProgramRole::kNormal);
}

}  // namespace
}  // namespace varnoket
