#include <gtest/gtest.h>

#include <filesystem>

#include "app/UpdateRole.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

namespace fsys = std::filesystem;

// The fixture is the role's host: it records the waits and the starts.
class UpdateRoleTest : public ::testing::Test, public UpdateRoleHost {
 protected:
  UpdateRoleTest() : env(DefaultFileSystem(), dialogs, *this) {
    test::WriteFile(tmp / "prog/varnoket", "old version");
    test::WriteFile(tmp / "prog/upload/_FILE1.EXE", "new version");
    env.programPath = tmp / "prog/upload/_FILE1.EXE";
  }

  // While the role waits, record what a network copy would see.
  void Sleep(int ms) override {
    waits.push_back(ms);
    exchangeSeenWhileWaiting = fsys::exists(tmp / "prog/__newver.$$$");
  }
  bool Start(const std::string& program) override {
    started.push_back(program);
    return true;
  }

  test::TempDir tmp;
  test::FakeDialogs dialogs;
  UpdateRoleEnv env;
  std::vector<int> waits;
  std::vector<std::string> started;
  bool exchangeSeenWhileWaiting = false;
};

TEST_F(UpdateRoleTest, ALocalCopyMarksTheHandOverWaitsReplacesAndStartsTheProgram) {
  RunUpdateRole(env);
  EXPECT_EQ(waits, std::vector<int>{630000});
  EXPECT_TRUE(exchangeSeenWhileWaiting);
  EXPECT_FALSE(fsys::exists(tmp / "prog/__newver.$$$"));
  EXPECT_FALSE(fsys::exists(tmp / "prog/upload/__newver.$$$"));
  EXPECT_EQ(test::ReadFile(tmp / "prog/varnoket"), "new version");
  EXPECT_EQ(started, std::vector<std::string>{tmp / "prog/varnoket"});
  EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(UpdateRoleTest, ANetworkCopyOnlyWaitsLongerAndStartsTheSharedProgram) {
  env.localDrive = false;
  env.anotherInstanceRunning = true;  // not looked at on the network
  RunUpdateRole(env);
  EXPECT_EQ(waits, std::vector<int>{660000});
  EXPECT_FALSE(exchangeSeenWhileWaiting);
  EXPECT_EQ(test::ReadFile(tmp / "prog/varnoket"), "old version");
  EXPECT_EQ(started, std::vector<std::string>{tmp / "prog/varnoket"});
}

TEST_F(UpdateRoleTest, AnOldProgramStillRunningOrNoExchangeFileStopsTheUpdate) {
  env.anotherInstanceRunning = true;
  RunUpdateRole(env);
  ASSERT_EQ(dialogs.Count(test::DialogKind::Error), 1u);
  EXPECT_EQ(test::ReadFile(tmp / "prog/varnoket"), "old version");
  EXPECT_TRUE(started.empty());

  env.anotherInstanceRunning = false;
  fsys::create_directories(tmp / "prog/__newver.$$$/blocker");  // cannot be created as a file
  RunUpdateRole(env);
  EXPECT_EQ(dialogs.Texts(test::DialogKind::Error).back(),
            "Impossible de créer le fichier d'échange ! La mise à jour a échoué.");
  EXPECT_TRUE(waits.empty());
  EXPECT_TRUE(started.empty());
}

TEST_F(UpdateRoleTest, AnUpdateProgramAtTheRootHasNoInstalledProgram) {
  env.programPath = "/_FILE1.EXE";
  EXPECT_THROW(RunUpdateRole(env), std::runtime_error);
  EXPECT_TRUE(started.empty());
}

}  // namespace
}  // namespace varnoket
