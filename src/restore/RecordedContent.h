// What a day's list says about a file's content (the low 32 bits of its size
// and its checksum), and whether a file on disk already holds that content
// with the recorded date. A restore leaves such a file as it is, so that
// restoring the same day again costs a read of each file, not a rewrite.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnoket {

class FileSystem;

struct RecordedContent {
  int32_t size = 0;  // low 32 bits of the size, signed, as the list keeps it
  uint32_t checksum = 0;
};

// The size of the regular file at `path` when it holds `content` and its date
// is `fileDate` (packed DOS form, as the restore sets it); nullopt otherwise.
// Size and date are compared first, and the file is read only when they match.
std::optional<int64_t> SizeWhenUpToDate(FileSystem& fs, const std::string& path,
                                        const RecordedContent& content, int32_t fileDate);

}  // namespace varnoket
