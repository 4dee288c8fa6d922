// The look at the store's free space before the copy step: a run whose
// changes cannot fit does not start copying, and says how much is missing,
// rather than fill the disk and stop half-way. The bound is an upper one
// (the changed files' own sizes, before compression, and the day's list), so
// a run that passes may still find the disk full if another program writes
// there meanwhile: it then stops as any failed write stops it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/BackupContext.h"
#include "engine/SourceScan.h"

namespace varnoket {

// The most bytes the copy step and the day's list can write.
uint64_t BytesToStore(const BackupContext& ctx, const ScanDetails& details);

// "" when `needed` bytes fit in the free space of the store's disk (or the
// system cannot tell it); otherwise the text to log and show.
std::string NoSpaceText(BackupContext& ctx, uint64_t needed);

}  // namespace varnoket
