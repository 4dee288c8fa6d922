// What a run leaves out of the backup besides the exclusion filters: cache
// folders, marked by a CACHEDIR.TAG file that begins with the standard
// signature (browsers, build tools and package managers write one), and files
// above the size limit of the backup set (MAXFILESIZE). The run logs each one
// and ends its log with the counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace varnoket {

inline constexpr const char* kCacheTagName = "CACHEDIR.TAG";
inline constexpr std::string_view kCacheTagSignature =
    "Signature: 8a477f597d28d172789f06886806bc55";

// True when `folder` holds a CACHEDIR.TAG whose first bytes are the
// signature. A tag that cannot be read, or says anything else, marks nothing.
bool IsTaggedCache(FileSystem& fs, const std::string& folder);

// The size limit in bytes for a limit in megabytes; 0 (no limit) for 0 or less.
uint64_t SizeLimitBytes(int megabytes);

struct LeftOutCounts {
  int cacheFolders = 0;
  int largeFiles = 0;
  uint64_t largeBytes = 0;

  bool Any() const { return cacheFolders + largeFiles > 0; }
};

// The log line for one cache folder, and for one file above the limit.
std::string CacheFolderLine(const std::string& folder);
std::string LargeFileLine(const std::string& path, uint64_t size, int limitMegabytes);
// The run's last count: "Laissés de côté : ..." naming each reason.
std::string LeftOutSummary(const LeftOutCounts& counts, int limitMegabytes);

}  // namespace varnoket
