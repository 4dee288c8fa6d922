// The main window on a laptop's battery: the tick puts the day's run off and
// the tooltip keeps saying why until the charger is plugged in, while the
// button still runs at once.
#include <filesystem>

#include "app/gui/MainWindowFixture.h"
#include "desktop/PowerSource.h"

namespace varnoket::test {
namespace {

class FixedPower final : public PowerSource {
 public:
  PowerState Read() override { return state; }
  PowerState state;
};

class PowerWiringTest : public MainWindowFixture {
 protected:
  void Start() {
    power_ = &power;
    power.state = PowerState{true, 12.0};
    WriteFile(base_ + "/docs/a.txt", "alpha");
    WriteProgramSettings(root_);
    WriteStationSettings({base_ + "/docs"}, "09/03/2026");
    Make();
    ShowAndSettle();
    dialogs_.Clear();
  }

  bool DayList(const std::string& folder) const {
    return std::filesystem::exists(root_ + "/POSTE1/" + folder + "/filelist.txt");
  }

  FixedPower power;
};

TEST_F(PowerWiringTest, TheTooltipSaysWhyTheRunWaitsUntilTheChargerIsPluggedIn) {
  Start();
  const std::string refusal = "Sauvegarde reportée : sur batterie (12 %, moins de 30 %)";
  clock_.Set({2026, 3, 10, 13, 8, 0, 0});
  form_->SchedulerTick();
  EXPECT_FALSE(DayList("10032026"));
  EXPECT_EQ(form_->Tray().Hint(), refusal);
  form_->SchedulerTick();  // still on battery: still said, the run still waits
  EXPECT_EQ(form_->Tray().Hint(), refusal);
  EXPECT_FALSE(DayList("10032026"));

  power.state = PowerState{false, 12.0};
  form_->SchedulerTick();
  EXPECT_TRUE(DayList("10032026"));
  EXPECT_EQ(form_->Tray().Hint(), "Dernière sauvegarde réussie : 10/03/2026 (aujourd'hui)");
}

TEST_F(PowerWiringTest, TheButtonRunsOnBattery) {
  Start();
  clock_.Set({2026, 3, 10, 9, 0, 0, 0});
  form_->BackUpNow();  // the fake boxes answer Yes
  EXPECT_TRUE(DayList("10032026"));
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
}

}  // namespace
}  // namespace varnoket::test
