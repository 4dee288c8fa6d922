#include "platform/DosDate.h"

#include "platform/Day.h"

namespace varnoket {
namespace {

constexpr uint32_t Pack(uint32_t year, uint32_t month, uint32_t day, uint32_t hour, uint32_t minute,
                        uint32_t second) {
  return ((year - 1980) << 25) | (month << 21) | (day << 16) | (hour << 11) | (minute << 5) |
         (second / 2);
}

}  // namespace

int32_t PackDosDate(const LocalDateTime& t) {
  if (t.year < 1980) return static_cast<int32_t>(Pack(1980, 1, 1, 0, 0, 0));
  if (t.year > 2107) return static_cast<int32_t>(Pack(2107, 12, 31, 23, 59, 58));
  // The fields are masked to their widths so a stray value cannot spill into
  // its neighbour.
  const uint32_t packed =
      Pack(static_cast<uint32_t>(t.year), static_cast<uint32_t>(t.month) & 0x0F,
           static_cast<uint32_t>(t.day) & 0x1F, static_cast<uint32_t>(t.hour) & 0x1F,
           static_cast<uint32_t>(t.minute) & 0x3F, static_cast<uint32_t>(t.second) & 0x3F);
  // The top year bit lands on the sign bit; the word is kept as it is packed.
  return static_cast<int32_t>(packed);
}

LocalDateTime UnpackDosDate(int32_t packed) {
  const auto bits = static_cast<uint32_t>(packed);
  LocalDateTime t;
  t.year = static_cast<int>(bits >> 25) + 1980;
  t.month = static_cast<int>((bits >> 21) & 0x0F);
  t.day = static_cast<int>((bits >> 16) & 0x1F);
  t.hour = static_cast<int>((bits >> 11) & 0x1F);
  t.minute = static_cast<int>((bits >> 5) & 0x3F);
  t.second = static_cast<int>(bits & 0x1F) * 2;
  t.millisecond = 0;
  return t;
}

int32_t DosDateFromTime(std::time_t t) {
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return PackDosDate(LocalDateTime{});
  const LocalDateTime d = LocalDateTimeOf(local);
  return PackDosDate(d);
}

std::time_t TimeFromDosDate(int32_t packed) {
  const LocalDateTime d = UnpackDosDate(packed);
  if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > DaysInMonth(d.year, d.month) ||
      d.hour > 23 || d.minute > 59 || d.second > 59) {
    return -1;
  }
  std::tm local{};
  local.tm_year = d.year - 1900;
  local.tm_mon = d.month - 1;
  local.tm_mday = d.day;
  local.tm_hour = d.hour;
  local.tm_min = d.minute;
  local.tm_sec = d.second;
  local.tm_isdst = -1;  // let the time zone rules decide, as the date was taken
  return std::mktime(&local);
}

}  // namespace varnoket
