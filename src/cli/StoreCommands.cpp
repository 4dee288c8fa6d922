// `config store add DIR [NAME]`, `config store remove NAME`, `config store
// list`: the disks a station backs up to in turn. Each store is marked when
// it is added, so two disks rotated at one mount point are told apart; a
// store is never nested in another, nor in a folder of the backup set.
// Removing a store takes it off the list only: its backups stay on it.
#include <iostream>
#include <optional>
#include <string>

#include "cli/CliDialogs.h"
#include "cli/CliText.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "engine/StoreChoice.h"
#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/Translation.h"
#include "platform/TypedPath.h"
#include "settings/ConfigurationRules.h"
#include "settings/StoreInBackedUpFolder.h"
#include "settings/StoreMarker.h"

namespace varnoket {
namespace {

constexpr const char* kFirstStoreMissing =
    VK_TR_NOOP("Messages",
               "Aucun dossier des sauvegardes n'est configuré : choisissez d'abord le premier avec "
               "« varnoket-cli config store DIR ».");
constexpr const char* kTooManyStores =
    VK_TR_NOOP("Messages", "La liste compte déjà %s disques de sauvegarde, le plus permis.");
constexpr const char* kNameTaken =
    VK_TR_NOOP("Messages", "Un disque de sauvegarde s'appelle déjà %s.");
constexpr const char* kBadName = VK_TR_NOOP(
    "Messages", "Un nom de disque de sauvegarde a de 1 à 20 lettres, chiffres, - ou _ (pas %s).");
constexpr const char* kNested = VK_TR_NOOP(
    "Messages",
    "Le dossier (%s) et le disque de sauvegarde %s (%s) sont l'un dans l'autre : une sauvegarde "
    "sauvegarderait l'autre. Choisissez un dossier à part.");
constexpr const char* kSameMarker = VK_TR_NOOP(
    "Messages",
    "Le dossier (%s) porte le marqueur du disque de sauvegarde %s : c'est ce disque, ou une copie "
    "de son image. Pour en faire un disque à part, retirez son fichier VARNOKET.STORE puis "
    "ajoutez-le à nouveau.");
constexpr const char* kOnlyStore = VK_TR_NOOP(
    "Messages",
    "Le disque de sauvegarde %s est le seul de la liste : changez-le avec « varnoket-cli config "
    "store DIR ».");
constexpr const char* kNoSuchStore =
    VK_TR_NOOP("Messages", "Aucun disque de sauvegarde ne s'appelle %s.");
constexpr const char* kRemoved = VK_TR_NOOP(
    "Messages",
    "Le disque de sauvegarde %s n'est plus dans la liste ; ses sauvegardes restent sur le disque.");
constexpr const char* kStoreListLine = VK_TR_NOOP("Messages", "Disque de sauvegarde %s : %s");

void ShowStores(FileSystem& fs, const ProgramSettings& settings) {
  for (const StoreEntry& store : AllStores(fs, settings))
    std::cout << ForTerminal(FillText(kStoreListLine, {store.name, store.root})) << "\n";
}

}  // namespace

std::string NestingRefusal(FileSystem& fs, const std::vector<StoreEntry>& stores,
                           const std::string& choice) {
  PathContainment containment(fs);
  for (const StoreEntry& store : stores) {
    // One mount point for two disks in turn is the usual rotation.
    if (containment.Resolved(store.root) == containment.Resolved(choice)) continue;
    if (containment.IsSameOrBelow(choice, store.root) ||
        containment.IsSameOrBelow(store.root, choice)) {
      return FillText(kNested, {choice, store.name, store.root});
    }
  }
  return {};
}

namespace {

int AddStore(FileSystem& fs, ProgramSettings& settings, const CliOptions& o,
             const std::string& typed, std::string name) {
  if (o.station.empty()) return Refuse(kNoStationName);
  if (settings.firstRoot.empty()) return Refuse(kFirstStoreMissing);
  const std::vector<StoreEntry> stores = AllStores(fs, settings);
  if (stores.size() >= kMaxStores)
    return Refuse(FillText(kTooManyStores, {std::to_string(kMaxStores)}));
  if (name.empty()) name = NextStoreName(stores);
  if (!IsStoreName(name)) return Refuse(FillText(kBadName, {name}));
  if (FindStore(stores, name)) return Refuse(FillText(kNameTaken, {name}));

  const std::string choice = AbsolutePath(typed);
  DriveInfo drives;
  const RootChoiceCheck check = CheckBackupRootChoice(fs, drives, choice, settings.networkStore);
  if (check.refusal != RootRefusal::None) return Refuse(check.text);
  if (const std::string nested = NestingRefusal(fs, stores, choice); !nested.empty())
    return Refuse(nested);
  CommandDialogs setReader;
  const std::string inSet =
      StoreInBackedUpFolderRefusal(fs, setReader, settings.backupRoot, o.station, choice);
  if (!inSet.empty()) return Refuse(inSet);
  if (const auto marker = ReadStoreMarker(fs, choice)) {
    for (const StoreEntry& store : stores) {
      if (store.id == marker->id) return Refuse(FillText(kSameMarker, {choice, store.name}));
    }
  }
  if (!CanWriteInFolder(fs, choice)) return Refuse(kRootNotWritable);
  const std::optional<StoreMarker> marker = MarkStore(fs, choice);
  if (!marker) {
    return Refuse(HasUnreadableMarker(fs, choice) ? UnreadableMarkerText(choice)
                                                  : std::string(kRootNotWritable));
  }
  // The first store's id is recorded now, if no run has yet: the new one
  // must never be taken for it.
  if (stores.front().id.empty()) {
    if (const auto first = ReadStoreMarker(fs, settings.firstRoot)) {
      if (first->id == marker->id) return Refuse(FillText(kSameMarker, {choice, stores[0].name}));
    }
  }
  settings.otherStores.push_back(StoreEntry{name, choice, marker->id});
  fs.ClearAttributes(settings.file->path());
  WriteOtherStores(*settings.file, settings.otherStores);
  ShowStores(fs, settings);
  return 0;
}

int RemoveStore(FileSystem& fs, ProgramSettings& settings, const std::string& name) {
  const std::vector<StoreEntry> stores = AllStores(fs, settings);
  const std::optional<size_t> index = FindStore(stores, name);
  if (!index) return Refuse(FillText(kNoSuchStore, {name}));
  if (stores.size() == 1) return Refuse(FillText(kOnlyStore, {stores[0].name}));
  fs.ClearAttributes(settings.file->path());
  if (*index == 0) {
    // The next store becomes the first: RACINE and STOREID are its own.
    const StoreEntry next = settings.otherStores.front();
    settings.otherStores.erase(settings.otherStores.begin());
    WriteOtherStores(*settings.file, settings.otherStores);
    WriteKey(*settings.file, kBackupRootKey, next.root);
    WriteKey(*settings.file, kStoreIdKey, next.id);
    WriteKey(*settings.file, kFirstStoreNameKey, next.name);
    settings.firstRoot = next.root;
    settings.firstStoreName = next.name;
  } else {
    settings.otherStores.erase(settings.otherStores.begin() + static_cast<long>(*index - 1));
    WriteOtherStores(*settings.file, settings.otherStores);
  }
  UseStore(settings, 0);
  std::cout << ForTerminal(FillText(kRemoved, {stores[*index].name})) << "\n";
  ShowStores(fs, settings);
  return 0;
}

}  // namespace

int StoreListCommand(const CliOptions& o, FileSystem& fs, ProgramSettings& settings) {
  const std::vector<std::string>& a = o.args;  // "store", then the action
  if (a[1] == "add" && (a.size() == 3 || a.size() == 4))
    return AddStore(fs, settings, o, a[2], a.size() == 4 ? a[3] : "");
  if (a[1] == "remove" && a.size() == 3) return RemoveStore(fs, settings, a[2]);
  if (a[1] == "list" && a.size() == 2) {
    ShowStores(fs, settings);
    return 0;
  }
  return Usage("config", CliText(VK_TR_NOOP("Cli",
                                            "config store add DIR [NOM], config store "
                                            "remove NOM ou config store list")));
}

}  // namespace varnoket
