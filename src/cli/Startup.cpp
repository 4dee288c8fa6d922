#include "cli/Startup.h"

#include <unistd.h>

#include <iostream>

#include "cli/CliText.h"
#include "cli/ConsoleHost.h"
#include "engine/StationLock.h"
#include "engine/StoreChoice.h"
#include "platform/DriveInfo.h"
#include "platform/ProgramPath.h"
#include "platform/Translation.h"
#include "settings/SettingsFolder.h"

namespace varnoket {

std::string SettingsFolder() {
  const std::string program = OwnProgramPath();
  const SettingsPlace place =
      FindSettingsPlace(DefaultFileSystem(), program.empty() ? "." : ProgramFolderOf(program));
  if (!place.problem.empty()) {
    std::cerr << ForTerminal(place.problem) << "\n";
    return "";
  }
  return place.folder;
}

std::optional<LoadedSettings> LoadProgramSide(FileSystem& fs, const std::string& programFolder,
                                              const std::string& stationName,
                                              const std::string& wantedStore) {
  LoadedSettings s;
  s.stationName = stationName;
  DriveInfo drives;
  std::string error;
  s.program = LoadProgramSettings(fs, drives, programFolder, &error);
  if (!s.program.IsOpen()) {
    std::cerr << ForTerminal(kIniNotInitialised) << " (" << programFolder << "/"
              << kProgramSettingsName << ": " << ForTerminal(error) << ")\n";
    return std::nullopt;
  }
  if (!s.program.notice.empty()) std::cerr << ForTerminal(s.program.notice) << "\n";
  if (s.program.backupRoot.empty()) {
    std::cerr << ForTerminal(VK_TR_NOOP(
                     "Messages",
                     "ATTENTION : \r\nLe répertoire devant contenir les sauvegardes n'est pas "
                     "configuré !\r\nTant que la configuration sera incomplète aucune sauvegarde "
                     "ne pourra s'effectuer."))
              << "\n";
    return std::nullopt;
  }
  if (!ChooseStore(fs, s.program, stationName, wantedStore, error)) {
    std::cerr << ForTerminal(error) << "\n";
    return std::nullopt;
  }
  return s;
}

std::optional<LoadedSettings> LoadForBackup(FileSystem& fs, Dialogs& dialogs,
                                            const std::string& programFolder,
                                            const std::string& stationName,
                                            const std::string& wantedStore) {
  auto s = LoadProgramSide(fs, programFolder, stationName, wantedStore);
  if (!s) return std::nullopt;
  const PathRules rules(PathStyle::kPosix);
  const std::string& root = s->program.backupRoot;

  // The write test of the backup root.
  const std::string probe = rules.Join(root, "_temp_.txt");
  bool writable = false;
  try {
    if (fs.Exists(probe)) fs.ClearAttributes(probe);
    fs.Create(probe)->Close();
    writable = true;
  } catch (const std::exception&) {
  }
  fs.DeleteFile(probe);
  if (!writable) {
    dialogs.Error("Impossible d'écrire dans le répertoire racine de sauvegarde (" + root +
                  ") !\r\nVeuillez vérifier que ce répertoire existe toujours, que vous avez les "
                  "droits d'accès en écriture et qu'il reste suffisamment d'espace disque "
                  "disponible !");
    return std::nullopt;
  }

  s->ownerProblem = StationOwnerProblem(fs, StoreLayout(rules, root, stationName), ThisMachine(fs));
  if (!s->ownerProblem.empty()) return s;
  if (!LoadStationSettings(fs, dialogs, s->station, root, stationName, rules)) return std::nullopt;
  const int parent = FindRootAncestor(fs, s->station.directories, root);
  if (parent >= 0) {
    const std::string entry = s->station.directories[static_cast<size_t>(parent)];
    dialogs.Warning("Le dossier à sauvegarder (" + entry +
                    ") est un dossier parent du répertoire de sauvegardes (" + root +
                    ") ce qui est interdit ! Il va donc être supprimé de la liste.");
    s->station.directories.erase(s->station.directories.begin() + parent);
    SaveBackupSet(dialogs, s->station);
  }
  return s;
}

}  // namespace varnoket
