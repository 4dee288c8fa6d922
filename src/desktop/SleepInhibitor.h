// Keeps the machine awake while a backup works: the session's sleep is put
// off from Hold until Release, so a laptop does not suspend in the middle of
// a run and leave the store half written.
#pragma once

namespace varnoket {

class SleepInhibitor {
 public:
  virtual ~SleepInhibitor() = default;
  // Asks that sleep wait; false when nobody could be asked (the run goes on
  // all the same).
  virtual bool Hold() = 0;
  // Lets the machine sleep again; nothing when nothing is held.
  virtual void Release() = 0;
};

// Holds the machine awake for the life of a scope.
class SleepHold {
 public:
  explicit SleepHold(SleepInhibitor* inhibitor) : inhibitor_(inhibitor) {
    if (inhibitor_ != nullptr) inhibitor_->Hold();
  }
  ~SleepHold() {
    if (inhibitor_ != nullptr) inhibitor_->Release();
  }
  SleepHold(const SleepHold&) = delete;
  SleepHold& operator=(const SleepHold&) = delete;

 private:
  SleepInhibitor* inhibitor_;
};

}  // namespace varnoket
