// The update step as the window runs it: which address it asks, that the day
// of the latest check holds from one tick to the next, and the hand-over of
// a network copy, over a recording host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/UpdateStep.h"
#include "support/TempDir.h"
#include "update/HandOverNames.h"

namespace varnoket::test {
namespace {

// A machine on line whose server never answers; records what it is asked.
class RecordingUpdateHost : public UpdateHost {
 public:
  bool IsOnline() override { return true; }
  bool Fetch(const std::string& url, const std::string&, bool) override {
    fetched.push_back(url);
    return false;
  }
  bool StartProgram(const std::string& program, bool) override {
    started.push_back(program);
    return true;
  }
  void EndProcess() override { ++ends; }

  std::vector<std::string> fetched;
  std::vector<std::string> started;
  int ends = 0;
};

class UpdateStepTest : public ::testing::Test {
 protected:
  UpdateStepTest() {
    setup_.programPath = dir_ / "prog/varnoket";
    setup_.currentVersion = "1.13";
    setup_.masterStation = true;
  }

  TempDir dir_;
  ManualClock clock_{LocalDateTime{2026, 3, 10, 14, 0, 0, 0}};
  RecordingUpdateHost host_;
  UpdateStepSetup setup_;
};

TEST_F(UpdateStepTest, TheBuiltInAddressServesUnlessTheBuildNamesAnother) {
  UpdateStep builtIn(DefaultFileSystem(), clock_, host_, setup_);
  EXPECT_EQ(builtIn.Run(), UpdateTickResult::kGoOn);
  setup_.updateUrl = "http://127.0.0.1:1/freeversion.ver";
  UpdateStep named(DefaultFileSystem(), clock_, host_, setup_);
  EXPECT_EQ(named.Run(), UpdateTickResult::kGoOn);
  EXPECT_EQ(host_.fetched, (std::vector<std::string>{VARNOKET_UPDATE_URL, setup_.updateUrl}));
}

TEST_F(UpdateStepTest, TheVersionIsAskedOnceADayAcrossTicks) {
  UpdateStep step(DefaultFileSystem(), clock_, host_, setup_);
  EXPECT_EQ(step.LastUpdateCheck(), 0);
  step.Run();
  const int today = step.LastUpdateCheck();
  EXPECT_GT(today, 0);
  step.Run();
  EXPECT_EQ(host_.fetched.size(), 1u);
  clock_.Set(LocalDateTime{2026, 3, 11, 0, 5, 0, 0});
  step.Run();
  EXPECT_EQ(host_.fetched.size(), 2u);
  EXPECT_EQ(step.LastUpdateCheck(), today + 1);
}

TEST_F(UpdateStepTest, AnInstalledCopyNeverAsksNorHandsOver) {
  setup_.installed = true;
  WriteFile(dir_ / (std::string("prog/") + kExchangeFileName), "");
  UpdateStep step(DefaultFileSystem(), clock_, host_, setup_);
  EXPECT_EQ(step.Run(), UpdateTickResult::kGoOn);
  clock_.Set(LocalDateTime{2026, 3, 11, 0, 5, 0, 0});
  EXPECT_EQ(step.Run(), UpdateTickResult::kGoOn);
  EXPECT_TRUE(host_.fetched.empty());
  EXPECT_TRUE(host_.started.empty());
  EXPECT_EQ(step.LastUpdateCheck(), 0);
}

TEST_F(UpdateStepTest, ANetworkCopyHandsOverWhileTheExchangeFileIsThere) {
  setup_.masterStation = false;
  UpdateStep step(DefaultFileSystem(), clock_, host_, setup_);
  EXPECT_EQ(step.Run(), UpdateTickResult::kGoOn);
  EXPECT_TRUE(host_.fetched.empty());  // only the owning copy asks the server
  WriteFile(dir_ / (std::string("prog/") + kExchangeFileName), "");
  EXPECT_EQ(step.Run(), UpdateTickResult::kProcessEnded);
  EXPECT_EQ(host_.started,
            std::vector<std::string>{dir_ / (std::string("prog/") + kDownloadFolderName + "/" +
                                             kDownloadedProgramName)});
  EXPECT_EQ(host_.ends, 1);
}

}  // namespace
}  // namespace varnoket::test
