#include "engine/LeftOut.h"

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Stream.h"
#include "platform/Translation.h"

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
  return FillText(
      VK_TR_NOOP("Messages", "Le répertoire (%s) est un cache (%s) : il n'est pas sauvegardé."),
      {folder, kCacheTagName});
}

std::string LargeFileLine(const std::string& path, uint64_t size, int limitMegabytes) {
  return FillText(VK_TR_NOOP("Messages",
                             "Le fichier (%s) fait %s octets, plus que la limite de "
                             "%s Mo : il n'est pas sauvegardé."),
                  {path, std::to_string(size), std::to_string(limitMegabytes)});
}

std::string UnreadableFileLine(const std::string& shownPath, int systemError) {
  if (systemError == EACCES || systemError == EPERM) {
    return FillText(
        VK_TR_NOOP("Messages", "ERREUR: accès refusé au fichier (%s) : il n'est pas sauvegardé."),
        {shownPath});
  }
  return FillText(VK_TR_NOOP("Messages",
                             "ERREUR: impossible de lire le fichier (%s) : %s. Il n'est pas "
                             "sauvegardé."),
                  {shownPath, systemError != 0 ? std::strerror(systemError)
                                               : VK_TR_NOOP("Messages", "erreur de lecture")});
}

std::string LeftOutSummary(const LeftOutCounts& counts, int limitMegabytes) {
  // Each part is a message of its own, so a window can show the list in the
  // person's language part by part.
  std::string list;
  auto part = [&](LeftOutCause cause, const char* pattern, std::string extra = {}) {
    const int n = counts.Of(cause);
    if (n == 0) return;
    if (!list.empty()) list += ", ";
    list += FillText(pattern, {std::to_string(n), extra});
  };
  part(LeftOutCause::kCacheFolder, VK_TR_NOOP("Messages", "%s répertoire(s) de cache (%s)"),
       kCacheTagName);
  part(
      LeftOutCause::kDesktopCache,
      VK_TR_NOOP("Messages", "%s répertoire(s) de cache du bureau (.cache, vignettes, corbeille)"));
  part(LeftOutCause::kLargeFile, VK_TR_NOOP("Messages", "%s fichier(s) de plus de %s"),
       FillText(VK_TR_NOOP("Messages", "%s Mo (%s octets)"),
                {std::to_string(limitMegabytes), std::to_string(counts.largeBytes)}));
  part(LeftOutCause::kHiddenFolder,
       VK_TR_NOOP("Messages", "%s dossier(s) caché(s) (réglage du jeu de sauvegarde)"));
  part(LeftOutCause::kFolderLink,
       VK_TR_NOOP("Messages", "%s lien(s) vers un répertoire, non suivi(s)"));
  if (counts.Of(LeftOutCause::kExcluded) > 0) {
    // Which filter took how many: a filter that takes more than meant shows.
    std::string filters;
    for (const auto& [filter, n] : counts.excludedByFilter) {
      filters += (filters.empty() ? "" : ", ") + filter + " : " + std::to_string(n);
    }
    part(LeftOutCause::kExcluded,
         VK_TR_NOOP("Messages", "%s fichier(s) exclu(s) par les filtres (%s)"),
         filters + " ; " + std::to_string(counts.excludedBytes) + " octets");
  }
  part(LeftOutCause::kUnreadableFile, VK_TR_NOOP("Messages", "%s fichier(s) illisible(s)"));
  part(LeftOutCause::kUnreadableFolder, VK_TR_NOOP("Messages", "%s répertoire(s) illisible(s)"));
  part(LeftOutCause::kForbiddenName,
       VK_TR_NOOP("Messages", "%s nom(s) qu'une liste ne peut pas contenir"));
  part(LeftOutCause::kNameTooLong, VK_TR_NOOP("Messages", "%s nom(s) ou chemin(s) trop long(s)"));
  part(LeftOutCause::kBrokenLink,
       VK_TR_NOOP("Messages", "%s lien(s) symbolique(s) cassé(s) ou en boucle"));
  part(LeftOutCause::kSpecialFile,
       VK_TR_NOOP("Messages", "%s fichier(s) spéciaux (tube, socket, périphérique)"));
  part(LeftOutCause::kKeptChanging,
       VK_TR_NOOP("Messages", "%s fichier(s) modifié(s) pendant leur lecture"));
  part(LeftOutCause::kVanishedFolder,
       VK_TR_NOOP("Messages", "%s dossier(s) à sauvegarder vide(s) ou sur un autre disque"));
  if (list.empty()) return VK_TR_NOOP("Messages", "Laissés de côté :.");
  return FillText(VK_TR_NOOP("Messages", "Laissés de côté : %s."), {list});
}

std::string CompletedWithLeftOutLine(const LeftOutCounts& counts) {
  return FillText(VK_TR_NOOP("Messages",
                             "Sauvegarde terminée avec %s élément(s) non "
                             "sauvegardé(s) : voir les lignes ERREUR et ATTENTION de "
                             "ce journal."),
                  {std::to_string(counts.Problems())});
}

}  // namespace varnoket
