#include "app/StartupChecks.h"

#include "desktop/AutostartEntry.h"
#include "engine/StationLock.h"
#include "engine/StoreCheck.h"
#include "platform/MachineIdentity.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Translation.h"
#include "settings/ConfigurationRules.h"

namespace varnoket {
namespace {

constexpr const char* kRootMissingMaster = VK_TR_NOOP(
    "Messages",
    "ATTENTION : \r\nLe répertoire devant contenir les sauvegardes n'est pas configuré !\r\n"
    "Cliquer sur OK pour faire apparaître l'écran de configuration !\r\n"
    "Tant que la configuration sera incomplète aucune sauvegarde ne pourra s'effectuer.");
constexpr const char* kRootMissingNetwork = VK_TR_NOOP(
    "Messages",
    "ATTENTION : \r\nLe répertoire devant contenir les sauvegardes n'est pas configuré !\r\n"
    "Le programme va se terminer ...\r\n"
    "Veuillez executer ce programme depuis son répertoire LOCAL et non pas depuis un partage ou "
    "un lecteur réseau pour pouvoir accéder à la configuration !");
constexpr const char* kRootNotWritableEnd = VK_TR_NOOP(
    "Messages",
    "Le programme va se terminer ... \r\nVeuillez contacter votre administrateur système ou "
    "exécuter le programme depuis son répertoire physique d'installation !");
constexpr const char* kNoStartupFolder = VK_TR_NOOP(
    "Messages", "Impossible de trouver un répertoire de démarrage pour créer le raccourci !");

}  // namespace

StartupOutcome StartupChecks::Run(StationSettings& station) {
  if (host_.ConfiguredRoot().empty()) {
    if (setup_.masterStation) {
      dialogs_.Warning(kRootMissingMaster);
      host_.OpenConfiguration();
      if (host_.ConfiguredRoot().empty()) return StartupOutcome::kRetry;
    } else {
      dialogs_.Error(kRootMissingNetwork);
      host_.EndProgramNow();
      return StartupOutcome::kStopped;
    }
  }
  const std::string root = host_.ConfiguredRoot();
  const PathRules rules(PathStyle::kPosix);

  // Before anything is written there: the write test and the station file
  // would otherwise land in the empty mount point of an unplugged disk.
  const StoreCheck store =
      CheckStore(fs_, StoreLayout(rules, root, setup_.stationName), host_.RecordedStoreId());
  if (store.state == StoreState::kAbsent || store.state == StoreState::kOtherDisk ||
      store.state == StoreState::kUnreadable) {
    host_.StoreAbsent(store.message);
    return StartupOutcome::kStoreAbsent;
  }

  if (!WriteTestOfRoot(root)) {
    dialogs_.Error(
        FillText(VK_TR_NOOP("Messages",
                            "Impossible d'écrire dans le répertoire racine de sauvegarde (%s) !"
                            "\r\nVeuillez vérifier que ce répertoire existe toujours, que vous "
                            "avez les droits d'accès en écriture et qu'il reste suffisamment "
                            "d'espace disque disponible !"),
                 {root}));
    if (setup_.masterStation) return StartupOutcome::kRetry;
    dialogs_.Error(kRootNotWritableEnd);
    host_.EndProgramNow();
    return StartupOutcome::kStopped;
  }

  if (IsInstalledProgramName(setup_.programPath)) {
    startupFolder_ = ChooseStartupFolder(fs_, setup_.autostart);
    if (startupFolder_.empty()) {
      dialogs_.Error(kNoStartupFolder);
      return StartupOutcome::kStopped;
    }
    WriteStartupEntry();
  }

  // Another machine's backup set is neither shown nor saved from here.
  const std::string ownerProblem =
      StationOwnerProblem(fs_, StoreLayout(rules, root, setup_.stationName), ThisMachine(fs_));
  if (!ownerProblem.empty()) {
    dialogs_.Error(ownerProblem);
    host_.ShowBackupSet();
    return StartupOutcome::kStopped;
  }
  const bool loaded = LoadStationSettings(fs_, dialogs_, station, root, setup_.stationName, rules);
  host_.ShowBackupSet();
  if (!loaded) return StartupOutcome::kStopped;

  const int ancestor = FindRootAncestor(fs_, station.directories, root);
  if (ancestor >= 0) {
    const std::string entry = station.directories[static_cast<size_t>(ancestor)];
    dialogs_.Warning(FillText(
        VK_TR_NOOP(
            "Messages",
            "Le dossier à sauvegarder (%s) est un dossier parent du répertoire de sauvegardes (%s) "
            "ce qui est interdit ! Il va donc être supprimé de la liste."),
        {entry, root}));
    station.directories.erase(station.directories.begin() + ancestor);
    host_.DirectoryListChanged();
    SaveBackupSet(dialogs_, station);
  }

  return StartupOutcome::kPassed;
}

bool StartupChecks::WriteTestOfRoot(const std::string& root) {
  const std::string probe = PathRules(PathStyle::kPosix).Join(root, "_temp_.txt");
  fs_.ClearAttributes(probe);
  return CanWriteInFolder(fs_, root);
}

void StartupChecks::WriteStartupEntry() {
  AutostartEntry link(fs_);
  link.Description = kTrayProductName;
  link.IconNumber = 0;
  link.ShortcutFile = PathRules(PathStyle::kPosix).Join(startupFolder_, "varnoket.desktop");
  link.Target = setup_.programPath;
  try {
    link.WriteLink();
  } catch (const AutostartEntryError& e) {
    // Without the entry the program does not start at the next logon, but
    // everything else works: say so once and go on with the checks.
    dialogs_.Error(e.what());
  }
}

}  // namespace varnoket
