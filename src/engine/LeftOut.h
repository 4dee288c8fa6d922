// What a run leaves out of the backup besides the exclusion filters, by
// cause, so that its outcome tells the whole truth. Some causes are the
// person's choice: cache folders (a CACHEDIR.TAG that begins with the
// standard signature, or the folders every desktop keeps its caches in),
// files above the size limit of the backup set (MAXFILESIZE), hidden folders
// while the set leaves them out, links to folders (never followed). The
// others are problems: a file or folder that cannot be read, a name the list
// cannot hold, a link that leads nowhere, a pipe, socket or device, a file
// that kept changing while it was read, a listed folder that vanished. The
// run logs each entry and ends its log with the counts; a problem makes the
// run "completed with N left out".
#pragma once

#include <array>
#include <cstdint>
#include <map>
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

// True for the folders a Linux desktop keeps its caches, thumbnails and
// trash in (".cache", ".thumbnails", ".local/share/Trash"), wherever they
// stand: never worth a backup.
bool IsDesktopCacheFolder(std::string_view path);

// The size limit in bytes for a limit in megabytes; 0 (no limit) for 0 or less.
uint64_t SizeLimitBytes(int megabytes);

enum class LeftOutCause {
  // The person's choice.
  kCacheFolder,
  kDesktopCache,
  kLargeFile,
  kHiddenFolder,
  kFolderLink,
  kExcluded,  // a file an exclusion filter of the backup set matches
  // Problems: the run is completed with entries left out.
  kUnreadableFile,
  kUnreadableFolder,
  kForbiddenName,
  kNameTooLong,
  kBrokenLink,
  kSpecialFile,
  kKeptChanging,
  kVanishedFolder,
};
inline constexpr size_t kLeftOutCauses = static_cast<size_t>(LeftOutCause::kVanishedFolder) + 1;

struct LeftOutCounts {
  std::array<int, kLeftOutCauses> count{};
  uint64_t largeBytes = 0;
  uint64_t excludedBytes = 0;
  // Files left out by each exclusion filter, as the backup set writes it.
  std::map<std::string, int> excludedByFilter;

  void Add(LeftOutCause cause) { ++count[static_cast<size_t>(cause)]; }
  int Of(LeftOutCause cause) const { return count[static_cast<size_t>(cause)]; }
  // The entries left out by a problem, not by the person's choice.
  int Problems() const;
  bool Any() const;
};

// The log line for one cache folder, and for one file above the limit.
std::string CacheFolderLine(const std::string& folder);
std::string LargeFileLine(const std::string& path, uint64_t size, int limitMegabytes);
// The log line for a file that could not be read (`systemError`: errno, or 0
// when the cause is not known); `shownPath` is the path as the log shows it.
std::string UnreadableFileLine(const std::string& shownPath, int systemError);
// The run's last count: "Laissés de côté : ..." naming each cause.
std::string LeftOutSummary(const LeftOutCounts& counts, int limitMegabytes);
// The line of a run that completed with problems left out.
std::string CompletedWithLeftOutLine(const LeftOutCounts& counts);

}  // namespace varnoket
