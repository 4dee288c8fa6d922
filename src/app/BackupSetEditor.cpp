#include "app/BackupSetEditor.h"

#include <algorithm>

#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/PathRules.h"
#include "platform/Translation.h"
#include "settings/CommaText.h"
#include "settings/KeptBackupSet.h"
#include "settings/SettingsKeys.h"

namespace varnoket {

bool BackupSetEditor::RootConfigured(const std::string& backupRoot) {
  if (!backupRoot.empty()) return true;
  dialogs_.Error(
      VK_TR_NOOP("Messages", "Vous devez d'abord configurer le répertoire des sauvegardes !"));
  return false;
}

bool BackupSetEditor::AddDirectory(const std::string& root) {
  if (!RootConfigured(root)) return false;
  const PathRules rules(PathStyle::kPosix);
  std::string chosen = picker_.BrowseForFolder(
      Translate("Messages", VK_TR_NOOP("Messages", "Choisissez un répertoire")), false);
  if (chosen.empty()) return false;
  chosen = rules.RemoveTrailingSeparator(chosen);
  const auto entry = fs_.Stat(chosen);
  if (!entry || !entry->isDirectory) {
    dialogs_.Error(
        FillText(VK_TR_NOOP("Messages", "Le répertoire (%s) n'est pas accessible !"), {chosen}));
    return false;
  }
  // Decided on what the disk holds: "/data/Sauvegardes-old" is beside the
  // root, a link to "/data" holds it.
  const FolderRelation relation = PathContainment(fs_).RelationOf(chosen, root);
  if (relation == FolderRelation::kSameOrInside) {
    dialogs_.Warning(FillText(
        VK_TR_NOOP("Messages",
                   "Vous ne pouvez pas sauvegarder des fichiers inclus dans (%s) \r\ncar il s'agit "
                   "du répertoire qui contiendra les sauvegardes !"),
        {root}));
    return false;
  }
  if (relation == FolderRelation::kHolds) {
    dialogs_.Warning(FillText(
        VK_TR_NOOP(
            "Messages",
            "Le dossier (%s) est un dossier parent du répertoire qui contiendra les sauvegardes "
            "(%s) "
            "!\r\nVous ne pouvez pas sélectionner ce dossier, ou alors vous devez modifier le "
            "répertoire des sauvegardes dans l'écran de configuration (possible uniquement sur un "
            "ordinateur principal) !"),
        {chosen, root}));
    return false;
  }
  if (IsRemotePath(drives_, chosen)) {
    dialogs_.Message(
        VK_TR_NOOP("Messages", "Les chemins réseaux ne sont pas autorisés dans cette version !"));
    return false;
  }
  drives_.RefreshDrive(chosen, kDriveAllParts);
  const DriveRecord rec = drives_.GetDriveRec(chosen);
  if (!rec.DiskPresent || rec.DriveType != DRIVE_FIXED) {
    dialogs_.Message(VK_TR_NOOP(
        "Messages",
        "Vous ne pouvez sauvegarder que des répertoires de lecteurs fixes (disques durs) dans "
        "cette version !"));
    return false;
  }
  // Two POSIX paths that differ in case are two directories.
  for (const auto& d : station_.directories) {
    if (rules.Equal(d, chosen)) {
      dialogs_.Message(VK_TR_NOOP("Messages", "Ce répertoire est déjà présent dans la liste !"));
      return false;
    }
  }
  station_.directories.push_back(chosen);
  SortAsDisplayed(station_.directories);
  return true;
}

bool BackupSetEditor::RemoveDirectory(size_t row) {
  if (row >= station_.directories.size()) return false;
  if (dialogs_.Warning(
          VK_TR_NOOP(
              "Messages",
              "ATTENTION si vous enlevez un répertoire de la liste, les fichiers qu'il contient ne "
              "seront plus sauvegardés!\r\nConfirmez-vous votre choix ?"),
          DialogButtons::kOkCancel) != DialogAnswer::kOk) {
    return false;
  }
  station_.directories.erase(station_.directories.begin() + static_cast<std::ptrdiff_t>(row));
  return true;
}

void BackupSetEditor::AddExclusion(const std::string& filter) {
  station_.exclusions.push_back(filter);
  SortAsDisplayed(station_.exclusions);
}

void BackupSetEditor::RemoveExclusion(size_t row) {
  if (row >= station_.exclusions.size()) return;
  station_.exclusions.erase(station_.exclusions.begin() + static_cast<std::ptrdiff_t>(row));
}

namespace {

bool IsDefaultExclusion(const std::string& filter) {
  const std::vector<std::string> defaults = FromCommaText(kExclusionsKey.fallback);
  return std::find(defaults.begin(), defaults.end(), filter) != defaults.end();
}

}  // namespace

bool BackupSetEditor::HasDefaultExclusions() const {
  return std::any_of(station_.exclusions.begin(), station_.exclusions.end(), IsDefaultExclusion);
}

void BackupSetEditor::RemoveDefaultExclusions() {
  std::erase_if(station_.exclusions, IsDefaultExclusion);
}

bool BackupSetEditor::SetIncludeHidden(bool include) {
  try {
    WriteIncludeHidden(station_, include);
    if (!keptSetPath_.empty())
      KeepBackupSet(fs_, dialogs_, keptSetPath_, keptSetStation_, station_);
  } catch (const IniError&) {
    dialogs_.Error(
        VK_TR_NOOP("Messages",
                   "Une erreur s'est produite lors de la mise à jour des paramètres !\r\n"
                   "Veuillez contacter votre administrateur système !"));
    return false;
  }
  return true;
}

void BackupSetEditor::Save() {
  if (SaveBackupSet(dialogs_, station_) && !keptSetPath_.empty())
    KeepBackupSet(fs_, dialogs_, keptSetPath_, keptSetStation_, station_);
}

}  // namespace varnoket
