// Packed DOS/FAT date-time words, the form file dates take in file lists:
// date in the high 16 bits (year - 1980, month, day), time in the low 16 bits
// (hour, minute, seconds / 2), always in local time.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/Clock.h"

namespace varnoket {

// Packs a local date-time. Years before 1980 pack as 1 January 1980 00:00:00
// and years after 2107 as 31 December 2107 23:59:58, the limits of the form.
int32_t PackDosDate(const LocalDateTime& t);
LocalDateTime UnpackDosDate(int32_t packed);

// The packed local date-time of a POSIX time stamp, and back. The reverse
// conversion returns -1 when the packed value holds no valid date.
int32_t DosDateFromTime(std::time_t t);
std::time_t TimeFromDosDate(int32_t packed);

}  // namespace varnoket
