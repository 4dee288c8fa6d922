// Packed DOS dates: any 32-bit word unpacks and packs back to itself; a valid
// local date-time packs and unpacks to itself with its seconds rounded down
// to even; a time stamp converted to a packed date and back loses less than
// two seconds inside the form's years and is clamped to its ends outside.
// The time zone is UTC, where every local time exists once.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "FuzzCheck.h"
#include "platform/DosDate.h"

namespace varnoket {
namespace {

bool SameDateTime(const LocalDateTime& a, const LocalDateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second && a.millisecond == b.millisecond;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysIn(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

void CheckWord(int32_t packed) {
  const LocalDateTime t = UnpackDosDate(packed);
  FUZZ_CHECK(PackDosDate(t) == packed);
  const std::time_t time = TimeFromDosDate(packed);
  const bool valid = t.month >= 1 && t.month <= 12 && t.day >= 1 &&
                     t.day <= DaysIn(t.year, t.month) && t.hour <= 23 && t.minute <= 59 &&
                     t.second <= 58;
  FUZZ_CHECK((time != -1) == valid);
  if (valid) FUZZ_CHECK(DosDateFromTime(time) == packed);
}

void CheckFields(FuzzedDataProvider& input) {
  LocalDateTime t;
  t.year = input.ConsumeIntegralInRange(1980, 2107);
  t.month = input.ConsumeIntegralInRange(1, 12);
  t.day = input.ConsumeIntegralInRange(1, 31);
  t.hour = input.ConsumeIntegralInRange(0, 23);
  t.minute = input.ConsumeIntegralInRange(0, 59);
  t.second = input.ConsumeIntegralInRange(0, 59);
  LocalDateTime even = t;
  even.second -= t.second % 2;
  FUZZ_CHECK(SameDateTime(UnpackDosDate(PackDosDate(t)), even));

  // Any field values at all pack without touching their neighbours' bits of
  // a valid date: the word still unpacks to some date in the form's years.
  LocalDateTime wild;
  wild.year = input.ConsumeIntegral<int>();
  wild.month = input.ConsumeIntegral<int>();
  wild.day = input.ConsumeIntegral<int>();
  wild.hour = input.ConsumeIntegral<int>();
  wild.minute = input.ConsumeIntegral<int>();
  wild.second = input.ConsumeIntegral<int>();
  const LocalDateTime packed = UnpackDosDate(PackDosDate(wild));
  FUZZ_CHECK(packed.year >= 1980 && packed.year <= 2107);
  if (wild.year >= 1980 && wild.year <= 2107) FUZZ_CHECK(packed.year == wild.year);
}

void CheckTimeStamp(std::time_t t) {
  // 1 January 1980 and 1 January 2108, 00:00:00 UTC.
  constexpr std::time_t kFirst = 315532800;
  constexpr std::time_t kPastLast = 4354819200;
  const int32_t packed = DosDateFromTime(t);
  const std::time_t back = TimeFromDosDate(packed);
  if (t < kFirst) {
    FUZZ_CHECK(back == kFirst);
  } else if (t >= kPastLast) {
    FUZZ_CHECK(back == kPastLast - 2);
  } else {
    FUZZ_CHECK(back == t - t % 2);
  }
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("TZ", "UTC", 1);
  tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnoket;
  FuzzedDataProvider input(data, size);
  CheckWord(input.ConsumeIntegral<int32_t>());
  // Time stamps from well before 1980 to well after 2107.
  CheckTimeStamp(input.ConsumeIntegralInRange<std::time_t>(-(int64_t{1} << 34), int64_t{1} << 34));
  CheckFields(input);
  return 0;
}
