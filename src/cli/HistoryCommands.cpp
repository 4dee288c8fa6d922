// The commands that read the store's history without restoring anything:
// `versions PATH`, `find PATTERN [DAY]` and `changes DAY`.
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliText.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "platform/DosDate.h"
#include "platform/MessageText.h"
#include "platform/ShownFormat.h"
#include "platform/Translation.h"
#include "platform/TypedPath.h"
#include "restore/DayChanges.h"
#include "restore/FileVersions.h"
#include "restore/NameSearch.h"

namespace varnoket {

namespace {

// A record's size field as these commands have always printed it, "N
// octets": the field keeps the low 32 bits, shown as the unsigned number,
// which is the size of every file under 4 GiB.
std::string RecordedSizeText(int32_t size) {
  return CliText(VK_TR_NOOP("Cli", "%s octets"), {std::to_string(static_cast<uint32_t>(size))});
}

void SayUnreadable(const StoreLayout& layout, const std::vector<std::string>& days) {
  for (const std::string& d : days) {
    std::cerr << ForTerminal(FillText(VK_TR_NOOP("Messages", "Impossible de lire le fichier (%s)"),
                                      {layout.FileListPath(layout.DayFolder(d))}))
              << "\n";
  }
}

}  // namespace

int VersionsCommand(const CliOptions& o) {
  if (o.args.size() != 1) return Usage(CliText(VK_TR_NOOP("Cli", "versions veut un PATH")));
  StoreLayout layout(PathRules(), "", "");
  std::vector<std::string> folders;
  if (const int failed = LoadDays(o, layout, folders)) return failed;
  const std::string path = AbsolutePath(o.args[0]);
  const FileHistory history = FileVersions(DefaultFileSystem(), layout, folders, path);
  SayUnreadable(layout, history.unreadableDays);
  if (!history.Recorded()) {
    std::cerr << ForTerminal(FillText(
                     VK_TR_NOOP("Messages",
                                "Aucune sauvegarde conservée n'enregistre le chemin (%s)."),
                     {path}))
              << "\n";
    return 1;
  }
  for (const FileVersion& v : history.versions) {
    std::cout << DayTextOfFolder(v.dayFolder) << "  " << RecordedSizeText(v.size) << "  "
              << CliText(VK_TR_NOOP("Cli", "modifié le %s"),
                         {DayFirstDateTime(UnpackDosDate(v.fileDate))})
              << "\n";
  }
  if (!history.folderDays.empty()) {
    std::cout << CliText(
        VK_TR_NOOP("Cli", "Enregistré comme dossier vide, et non comme fichier, le :"));
    for (const std::string& d : history.folderDays) std::cout << " " << DayTextOfFolder(d);
    std::cout << "\n";
  }
  std::cout << CliText(VK_TR_NOOP("Cli", "%s version(s) du fichier %s"),
                       {std::to_string(history.versions.size()), path})
            << "\n";
  return history.unreadableDays.empty() ? 0 : 1;
}

int FindCommand(const CliOptions& o) {
  if (o.args.empty() || o.args.size() > 2)
    return Usage(CliText(VK_TR_NOOP("Cli", "find veut un PATTERN et au plus un DAY")));
  StoreLayout layout(PathRules(), "", "");
  std::vector<std::string> folders;
  if (const int failed = LoadDays(o, layout, folders)) return failed;
  FileSystem& fs = DefaultFileSystem();
  const std::string& pattern = o.args[0];
  NameSearchResult found;
  if (o.args.size() == 2) {
    const int index = FindDayOrSay(folders, o.args[1], layout);
    if (index < 0) return 1;
    auto files = FindFilesInDay(fs, layout, folders[index], pattern);
    if (files) {
      found.files = std::move(*files);
    } else {
      found.unreadableDays.push_back(folders[index]);
    }
  } else {
    found = FindFilesInAllDays(fs, layout, folders, pattern);
  }
  SayUnreadable(layout, found.unreadableDays);
  for (const FoundFile& f : found.files) {
    std::cout << DayTextOfFolder(f.dayFolder) << "  " << RecordedSizeText(f.size) << "  "
              << f.fullPath << "\n";
  }
  if (found.files.empty()) {
    std::cout << ForTerminal(FillText(VK_TR_NOOP("Messages", "Aucun fichier ne correspond à (%s)."),
                                      {pattern}))
              << "\n";
    return 1;
  }
  std::cout << CliText(VK_TR_NOOP("Cli", "%s fichier(s) trouvé(s)"),
                       {std::to_string(found.files.size())})
            << "\n";
  return found.unreadableDays.empty() ? 0 : 1;
}

int ChangesCommand(const CliOptions& o) {
  if (o.args.size() != 1) return Usage(CliText(VK_TR_NOOP("Cli", "changes veut un DAY")));
  StoreLayout layout(PathRules(), "", "");
  std::vector<std::string> folders;
  if (const int failed = LoadDays(o, layout, folders)) return failed;
  const int index = FindDayOrSay(folders, o.args[0], layout);
  if (index < 0) return 1;
  const auto changes =
      ChangesOfDay(DefaultFileSystem(), layout, folders, static_cast<size_t>(index));
  if (!changes) {
    std::cerr << CliText(VK_TR_NOOP("Cli",
                                    "Impossible de lire les listes de fichiers du %s et du jour "
                                    "précédent."),
                         {o.args[0]})
              << "\n";
    return 1;
  }
  size_t added = 0, changed = 0, removed = 0;
  for (const FileChange& c : changes->changes) {
    switch (c.kind) {
      case ChangeKind::kAdded:
        ++added;
        std::cout << CliText(VK_TR_NOOP("Cli", "Nouveau   %s"), {c.fullPath}) << "\n";
        break;
      case ChangeKind::kChanged:
        ++changed;
        std::cout << CliText(VK_TR_NOOP("Cli", "Modifié   %s"), {c.fullPath}) << "\n";
        break;
      case ChangeKind::kRemoved:
        ++removed;
        std::cout << CliText(VK_TR_NOOP("Cli", "Supprimé  %s"), {c.fullPath}) << "\n";
        break;
    }
  }
  if (changes->previousDay.empty()) {
    std::cout << CliText(VK_TR_NOOP("Cli", "Première sauvegarde conservée : %s fichier(s)"),
                         {std::to_string(added)})
              << "\n";
  } else {
    std::cout << CliText(VK_TR_NOOP("Cli",
                                    "Depuis le %s : %s nouveau(x), %s modifié(s), %s supprimé(s)"),
                         {DayTextOfFolder(changes->previousDay), std::to_string(added),
                          std::to_string(changed), std::to_string(removed)})
              << "\n";
  }
  return 0;
}

}  // namespace varnoket
