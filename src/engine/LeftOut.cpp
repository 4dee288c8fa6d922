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

bool IsDesktopCacheFolder(std::string_view path) {
  for (const std::string_view end : {"/.cache", "/.thumbnails", "/.local/share/Trash"}) {
    if (path.size() >= end.size() && path.substr(path.size() - end.size()) == end) return true;
  }
  return false;
}

uint64_t SizeLimitBytes(int megabytes) {
  return megabytes > 0 ? static_cast<uint64_t>(megabytes) * 1024 * 1024 : 0;
}

int LeftOutCounts::Problems() const {
  int problems = 0;
  for (size_t i = static_cast<size_t>(LeftOutCause::kUnreadableFile); i < kLeftOutCauses; ++i) {
    problems += count[i];
  }
  return problems;
}

bool LeftOutCounts::Any() const {
  for (const int n : count) {
    if (n > 0) return true;
  }
  return false;
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
  bool first = true;
  auto part = [&](LeftOutCause cause, const std::string& what) {
    const int n = counts.Of(cause);
    if (n == 0) return;
    text += (first ? " " : ", ") + std::to_string(n) + " " + what;
    first = false;
  };
  part(LeftOutCause::kCacheFolder, std::string("répertoire(s) de cache (") + kCacheTagName + ")");
  part(LeftOutCause::kDesktopCache,
       "répertoire(s) de cache du bureau (.cache, vignettes, corbeille)");
  part(LeftOutCause::kLargeFile, "fichier(s) de plus de " + std::to_string(limitMegabytes) +
                                     " Mo (" + std::to_string(counts.largeBytes) + " octets)");
  part(LeftOutCause::kHiddenFolder, "dossier(s) caché(s) (réglage du jeu de sauvegarde)");
  part(LeftOutCause::kFolderLink, "lien(s) vers un répertoire, non suivi(s)");
  if (counts.Of(LeftOutCause::kExcluded) > 0) {
    // Which filter took how many: a filter that takes more than meant shows.
    std::string filters;
    for (const auto& [filter, n] : counts.excludedByFilter) {
      filters += (filters.empty() ? "" : ", ") + filter + " : " + std::to_string(n);
    }
    part(LeftOutCause::kExcluded, "fichier(s) exclu(s) par les filtres (" + filters + " ; " +
                                      std::to_string(counts.excludedBytes) + " octets)");
  }
  part(LeftOutCause::kUnreadableFile, "fichier(s) illisible(s)");
  part(LeftOutCause::kUnreadableFolder, "répertoire(s) illisible(s)");
  part(LeftOutCause::kForbiddenName, "nom(s) qu'une liste ne peut pas contenir");
  part(LeftOutCause::kNameTooLong, "nom(s) ou chemin(s) trop long(s)");
  part(LeftOutCause::kBrokenLink, "lien(s) symbolique(s) cassé(s) ou en boucle");
  part(LeftOutCause::kSpecialFile, "fichier(s) spéciaux (tube, socket, périphérique)");
  part(LeftOutCause::kKeptChanging, "fichier(s) modifié(s) pendant leur lecture");
  part(LeftOutCause::kVanishedFolder, "dossier(s) à sauvegarder vide(s) ou sur un autre disque");
  return text + ".";
}

std::string CompletedWithLeftOutLine(const LeftOutCounts& counts) {
  return "Sauvegarde terminée avec " + std::to_string(counts.Problems()) +
         " élément(s) non sauvegardé(s) : voir les lignes ERREUR et ATTENTION de ce journal.";
}

}  // namespace varnoket
