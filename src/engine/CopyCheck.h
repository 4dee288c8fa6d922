// Reads a stored copy back from the disk and decodes it whole, to know that
// what the disk kept is what was written: a copy that does not decode, or
// decodes to other bytes than its record says, would fail the restore that
// needs it, long after the source is gone.
#pragma once

#include <string>
#include <vector>

#include "engine/BlockCheck.h"
#include "engine/FileRecord.h"
#include "platform/FileSystem.h"
#include "platform/Translation.h"
#include "platform/WorkerPool.h"

namespace varnoket {

// What the error window says at the end of a run whose checks refused copies
// (%s: how many).
inline constexpr const char* kCopiesRefused =
    VK_TR_NOOP("Messages",
               "ERREUR: %s copie(s) compressée(s) relue(s) après écriture ne redonnent pas leur "
               "fichier (voir le journal). Vérifiez le disque de sauvegarde.");

enum class CopyCheckResult {
  kSame,        // decodes whole to the record's size and checksum
  kDifferent,   // decodes whole, to other bytes
  kDamaged,     // does not decode, or ends early
  kUnreadable,  // cannot be opened or read
};

// Checks `copy` against `record`. The copy's pages are dropped from the
// system's cache first (when it was flushed to the disk, they are clean), so
// the bytes come from the disk. A large copy's blocks are decoded on
// `blocks` when it is given. Safe to call from several threads at once when
// `fs` is.
CopyCheckResult CheckCopy(FileSystem& fs, const std::string& copy, const FileRecord& record,
                          WorkerPool* blocks = nullptr);

// The same for a copy whose blocks were checked as they were written:
// waits for the checks of `blocks` (every block of `copy` after `prefix`,
// in order), then reads what is around them.
CopyCheckResult CheckCopyBlocks(FileSystem& fs, const std::string& copy, const FileRecord& record,
                                const CheckedPrefix& prefix,
                                const std::vector<PendingBlockCheck>& blocks);

}  // namespace varnoket
