// The clock the program reads "now" from. Injected everywhere a date or a time
// of day decides something, so tests can move through days without waiting.
#pragma once

#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>

namespace varnoket {

// A moment in local time, broken down as the program shows and stores it.
struct LocalDateTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The broken-down local time of the C library as the program keeps it; a
// leap second (60) shows as 59, as the program's dates have no room for it.
LocalDateTime LocalDateTimeOf(const std::tm& local);

// The machine's time now in UTC as "2026-12-10 14:05:09": a moment written
// where machines in other time zones read it (the store's marker).
std::string UtcNowText();

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() const = 0;
};

// The machine's own clock, in the local time zone (so a shifted clock such
// as faketime's is honoured).
class SystemClock final : public Clock {
 public:
  LocalDateTime Now() const override;
};

// A clock that stands still until told otherwise; for tests and tools.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(LocalDateTime now = {}) : now_(now) {}
  LocalDateTime Now() const override;
  void Set(LocalDateTime now);

 private:
  mutable std::mutex mutex_;
  LocalDateTime now_;
};

}  // namespace varnoket
