// What a day's list says about an empty folder it records (a directory
// record, stored name "*"): the folder's attribute word and its last-write
// date. A restore gives both back to the folder once everything below it is
// in place.
#pragma once

#include <cstdint>

namespace varnoket {

struct RecordedFolder {
  int32_t attributes = 0;  // POSIX: st_mode; a Windows list: the attribute word
  int32_t fileDate = 0;    // packed DOS form, local time
};

}  // namespace varnoket
