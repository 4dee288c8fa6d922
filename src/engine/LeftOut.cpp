#include "engine/LeftOut.h"

#include <array>

#include "platform/PathRules.h"
#include "platform/Stream.h"

namespace varnoket {

bool IsTaggedCache(FileSystem& fs, const std::string& folder) {
  const std::string path = PathRules(PathStyle::kPosix).Join(folder, kCacheTagName);
  std::array<char, kCacheTagSignature.size()> head{};
  size_t got = 0;
  try {
    auto stream = fs.OpenRead(path);
    while (got < head.size()) {
      const size_t n = stream->Read(head.data() + got, head.size() - got);
      if (n == 0) break;
      got += n;
    }
  } catch (const StreamError&) {
    return false;
  }
  return std::string_view(head.data(), got) == kCacheTagSignature;
}

uint64_t SizeLimitBytes(int megabytes) {
  return megabytes > 0 ? static_cast<uint64_t>(megabytes) * 1024 * 1024 : 0;
}

std::string CacheFolderLine(const std::string& folder) {
  return "Le répertoire (" + folder + ") est un cache (" + kCacheTagName +
         ") : il n'est pas sauvegardé.";
}

std::string LargeFileLine(const std::string& path, uint64_t size, int limitMegabytes) {
  return "Le fichier (" + path + ") fait " + std::to_string(size) +
         " octets, plus que la limite de " + std::to_string(limitMegabytes) +
         " Mo : il n'est pas sauvegardé.";
}

std::string LeftOutSummary(const LeftOutCounts& counts, int limitMegabytes) {
  std::string text = "Laissés de côté :";
  if (counts.cacheFolders > 0) {
    text += " " + std::to_string(counts.cacheFolders) + " répertoire(s) de cache (" +
            kCacheTagName + ")";
  }
  if (counts.largeFiles > 0) {
    if (counts.cacheFolders > 0) text += ",";
    text += " " + std::to_string(counts.largeFiles) + " fichier(s) de plus de " +
            std::to_string(limitMegabytes) + " Mo (" + std::to_string(counts.largeBytes) +
            " octets)";
  }
  return text + ".";
}

}  // namespace varnoket
