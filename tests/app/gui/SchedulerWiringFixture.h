// The main window over a real store, for the tests of the scheduler's
// wiring: the day's sources and settings, a clock the test moves, and runs
// held under way so the window can be looked at while they work.
#pragma once

#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>

#include "app/gui/MainWindowFixture.h"

namespace varnoket::test {

class SchedulerWiringTest : public MainWindowFixture {
 protected:
  void Start(int hour = 13, int minute = 0, const std::string& last = "09/03/2026") {
    WriteFile(base_ + "/docs/a.txt", "alpha");
    WriteFile(base_ + "/docs/sub/b.txt", "beta");
    WriteProgramSettings(root_, hour, minute);
    if (holdRuns_) {
      // Waits for the gate, ten seconds at most so a test that never opens
      // it fails instead of hanging.
      const std::string ini = programFolder_ + "/VARNOKET.INI";
      WriteFile(ini, ReadFile(ini) + "COMMANDE_AVANT=touch " + base_ +
                         "/held; for i in $(seq 1000); do [ -e " + base_ +
                         "/gate ] && break; sleep 0.01; done\r\n");
      WriteFile(base_ + "/gate", "");
    }
    WriteStationSettings({base_ + "/docs"}, last);
    Make();
    ShowAndSettle();
    dialogs_.Clear();
  }

  void At(int day, int hour, int minute) { clock_.Set({2026, 3, day, hour, minute, 0, 0}); }

  // Each run waits in a before-command for a gate the test opens: the run
  // is then under way on its own thread, its windows locked and its stop
  // button shown. Set before Start; the gate stays open unless WhileHeld.
  void HoldRuns() { holdRuns_ = true; }
  // Closes the gate; once the next run waits at it, runs `look` on the
  // window's thread, then opens it.
  void WhileHeld(std::function<void()> look) {
    std::filesystem::remove(base_ + "/gate");
    std::filesystem::remove(base_ + "/held");
    auto* poll = new QTimer(form_);
    poll->setInterval(2);
    QObject::connect(poll, &QTimer::timeout, form_, [this, poll, look = std::move(look)] {
      if (!std::filesystem::exists(base_ + "/held")) return;
      poll->stop();
      poll->deleteLater();
      look();
      WriteFile(base_ + "/gate", "");
    });
    poll->start();
  }

  bool DayList(const std::string& folder) const {
    return std::filesystem::exists(root_ + "/POSTE1/" + folder + "/filelist.txt");
  }

  bool holdRuns_ = false;
};

}  // namespace varnoket::test
