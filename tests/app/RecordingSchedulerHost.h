// The window's part of the daily scheduler, recorded as words in order.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/DailyScheduler.h"

namespace varnoket::test {

class RecordingSchedulerHost : public SchedulerHost {
 public:
  const ProgramSettings& Program() const override { return program; }
  void StopTimer() override { events.push_back("stop"); }
  void StartTimer() override { events.push_back("start"); }
  UpdateTickResult RunUpdateStep() override {
    events.push_back("update");
    return updateResult;
  }
  void RunEnded(BackupOutcome outcome, bool askedByUser) override {
    ended.emplace_back(outcome, askedByUser);
  }

  ProgramSettings program;
  std::vector<std::pair<BackupOutcome, bool>> ended;
  UpdateTickResult updateResult = UpdateTickResult::kGoOn;
  std::vector<std::string> events;
};

}  // namespace varnoket::test
