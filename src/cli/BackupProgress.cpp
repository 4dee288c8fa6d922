#include "cli/BackupProgress.h"

namespace varnoket {

void BackupProgress::Hint(const std::string& hint) {
  // Once the copy counts, its hints ("Fichier 3 sur 7") say less than the line.
  if (!line_.terminal() || counting_) return;
  line_.Show(hint);
}

void BackupProgress::Update(const RunProgress& progress) {
  if (!line_.terminal() || progress.filesTotal == 0) return;
  counting_ = true;
  ProgressCounts c;
  c.filesDone = progress.filesDone;
  c.filesTotal = progress.filesTotal;
  c.bytesDone = progress.bytesDone;
  c.bytesTotal = progress.bytesTotal;
  line_.Update(c, progress.filesDone == progress.filesTotal);
}

}  // namespace varnoket
