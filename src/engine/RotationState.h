// Where the check of old copies in rotation stands, kept in the station
// folder between runs:
//
//   <station>/ROTATION.TXT   one key=value line each, CR LF
//     PASS=dd/mm/yyyy|bytes       the day the current pass began, and the
//                                 stored bytes it covers (its slices' measure)
//     NEXT=ddmmyyyy|n             the day folder and the record of its list
//                                 where the next slice starts
//     DONE=dd/mm/yyyy|dd/mm/yyyy  the last complete pass: begun, ended
//
// The file is outside input: a value that does not parse is taken as absent,
// which at worst starts a new pass.
#pragma once

#include <cstdint>
#include <string>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

inline constexpr const char* kRotationName = "ROTATION.TXT";

struct RotationState {
  std::string passBegun;  // "dd/mm/yyyy"; "" when no pass is under way
  uint64_t passBytes = 0;
  std::string nextDay;  // a day folder's name; "" for the pass's first day
  uint64_t nextRecord = 0;
  std::string doneBegun;  // the last complete pass; "" when none
  std::string doneEnded;
};

RotationState ReadRotationState(FileSystem& fs, const StoreLayout& layout);
// False when the disk refused; the file is then as it was.
bool WriteRotationState(FileSystem& fs, const StoreLayout& layout, const RotationState& state);

}  // namespace varnoket
