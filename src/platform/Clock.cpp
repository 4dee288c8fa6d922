#include "platform/Clock.h"

#include <ctime>

namespace varnoket {

LocalDateTime LocalDateTimeOf(const std::tm& local) {
  LocalDateTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec > 59 ? 59 : local.tm_sec;
  return t;
}

LocalDateTime SystemClock::Now() const {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  LocalDateTime t = LocalDateTimeOf(local);
  t.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return t;
}

std::string UtcNowText() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
  return text;
}

LocalDateTime ManualClock::Now() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return now_;
}

void ManualClock::Set(LocalDateTime now) {
  std::lock_guard<std::mutex> lock(mutex_);
  now_ = now;
}

}  // namespace varnoket
