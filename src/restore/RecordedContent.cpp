#include "restore/RecordedContent.h"

#include <exception>
#include <vector>

#include "engine/Checksum.h"
#include "engine/FileRecord.h"
#include "platform/FileSystem.h"

namespace varnoket {

std::optional<int64_t> SizeWhenUpToDate(FileSystem& fs, const std::string& path,
                                        const RecordedContent& content, int32_t fileDate) {
  const auto entry = fs.Stat(path);
  // A link is replaced by the file itself, whatever it points to.
  if (!entry || !entry->isRegularFile || entry->isSymlink) return std::nullopt;
  if (RecordedSize(static_cast<int64_t>(entry->size)) != content.size || entry->dosDate != fileDate)
    return std::nullopt;
  try {
    auto in = fs.OpenRead(path);
    std::vector<char> buffer(kChecksumBlockSize);
    WeightedSum sum;
    uint64_t total = 0;
    while (const size_t got = in->Read(buffer.data(), buffer.size())) {
      sum.Update(buffer.data(), got);
      total += got;
    }
    // The file may have changed between the look and the read.
    if (total != entry->size || sum.Value() != content.checksum) return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;  // unreadable: the restore writes it again
  }
  return static_cast<int64_t>(entry->size);
}

}  // namespace varnoket
