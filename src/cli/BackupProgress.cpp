#include "cli/BackupProgress.h"

#include <algorithm>
#include <cstdio>

#include "engine/FileRecord.h"

namespace varnoket {

void BackupProgress::Hint(const std::string& hint) {
  if (!line_.terminal()) return;
  size_t index = 0;
  size_t total = 0;
  // The copy step's hint; any other (the scan's folder) is shown as it is.
  if (std::sscanf(hint.c_str(), "Sauvegarde en cours Fichier %zu sur %zu", &index, &total) != 2 ||
      index == 0) {
    line_.Show(hint);
    return;
  }
  if (bytesBefore_.empty()) CountQueuedBytes();
  if (bytesBefore_.empty()) return;
  const size_t queued = bytesBefore_.size() - 1;
  ProgressCounts c;
  c.filesDone = static_cast<int64_t>(index - 1);
  c.filesTotal = static_cast<int64_t>(total);
  // Copies of twins found during the run join the end of the queue; their
  // bytes are not known here.
  c.bytesDone = bytesBefore_[std::min(index - 1, queued)];
  c.bytesTotal = bytesBefore_[queued];
  line_.Update(c, index == total);
}

void BackupProgress::CountQueuedBytes() {
  if (ctx_ == nullptr) return;
  bytesBefore_.assign(1, 0);
  for (uint32_t position : ctx_->changedFiles) {
    int64_t size = 0;
    if (position < ctx_->currentFileList.size()) {
      const auto rec = ParseFileRecord(ctx_->currentFileList[position]);
      // The record keeps only the size's low 32 bits: the file tells the rest.
      if (rec && !rec->IsDirectory()) {
        const auto entry = ctx_->fs.Stat(rec->fullPath);
        if (entry) size = static_cast<int64_t>(entry->size);
      }
    }
    bytesBefore_.push_back(bytesBefore_.back() + size);
  }
}

}  // namespace varnoket
