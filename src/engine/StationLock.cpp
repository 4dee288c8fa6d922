#include "engine/StationLock.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "engine/FileRecord.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/TextLines.h"
#include "platform/Translation.h"

namespace varnoket {

namespace {

// Present in the lock file once its holder ended well.
constexpr const char* kEndedKey = "ended";
constexpr const char* kUnknownHolder = VK_TR_NOOP("Messages", "détenteur inconnu");

// "key=value" lines, CR LF or LF; the first value of each key counts.
std::map<std::string, std::string> ParseKeys(const std::string& text) {
  std::map<std::string, std::string> keys;
  for (const std::string& line : SplitLines(text)) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) keys.emplace(line.substr(0, eq), line.substr(eq + 1));
  }
  return keys;
}

std::string TimeText(const LocalDateTime& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%.2d/%.2d/%.4d %.2d:%.2d:%.2d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return text;
}

StationLock Refused(StationLockStatus status, std::string message) {
  StationLock lock;
  lock.status = status;
  lock.message = std::move(message);
  return lock;
}

// The lock at `lockPath` is taken: by whom, as its file says.
StationLock Busy(FileSystem& fs, const std::string& lockPath) {
  // The holder writes its name just after taking the lock: a run that
  // started at the same moment may find the file still empty, or from the
  // previous holder. It waits a little for the name rather than report an
  // unknown holder.
  std::string holder;
  for (int attempt = 0; attempt < 20; ++attempt) {
    const auto text = fs.ReadFile(lockPath);
    holder = DescribeLockHolder(text.value_or(""));
    if (text && ParseKeys(*text).count(kEndedKey) == 0 && holder != kUnknownHolder) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return Refused(
      StationLockStatus::kBusy,
      FillText(VK_TR_NOOP("Messages",
                          "Une sauvegarde de ce poste est déjà en cours (%s). Cette sauvegarde "
                          "n'est pas effectuée."),
               {holder}));
}

std::string MarkerPath(const StoreLayout& layout) {
  return layout.rules().Join(layout.StationFolder(), kMachineMarkerName);
}

// Checks that the station folder is this machine's, claiming it when no
// machine has yet. Returns "" when it is, else what to tell the user.
std::string CheckMachineMarker(FileSystem& fs, const StoreLayout& layout, const MachineIdentity& me,
                               StationLockStatus& status) {
  const std::string path = MarkerPath(layout);
  status = StationLockStatus::kFailed;
  if (!fs.Exists(path)) {
    // A station made before the marker existed, or a new one: it is ours.
    const FsStatus written =
        fs.WriteFileAtomic(path, "machine=" + me.id + "\r\nhost=" + me.host + "\r\n");
    if (written) return {};
    return FillText(VK_TR_NOOP("Messages",
                               "Impossible d'écrire le fichier (%s) : %s. Aucune sauvegarde n'est "
                               "faite."),
                    {path, written.Reason()});
  }
  if (FsStatus why; !fs.ReadFile(path, why)) {
    return FillText(VK_TR_NOOP("Messages",
                               "Impossible de lire le fichier (%s) : %s. Aucune sauvegarde n'est "
                               "faite."),
                    {path, why.Reason()});
  }
  status = StationLockStatus::kForeignStation;
  return StationOwnerProblem(fs, layout, me);
}

}  // namespace

std::string StationOwnerProblem(FileSystem& fs, const StoreLayout& layout,
                                const MachineIdentity& me) {
  const std::string path = MarkerPath(layout);
  const auto text = fs.ReadFile(path);
  if (!text) return {};  // no machine has claimed the station yet
  const auto keys = ParseKeys(*text);
  const auto machine = keys.find("machine");
  if (machine == keys.end() || machine->second.empty()) {
    return FillText(
        VK_TR_NOOP("Messages",
                   "Le fichier (%s) ne désigne aucune machine. Aucune sauvegarde n'est faite.\r\n"
                   "Si ce dossier est bien celui de cette machine, supprimez ce fichier."),
        {path});
  }
  if (machine->second == me.id) return {};
  const auto host = keys.find("host");
  const std::string owner =
      (host != keys.end() ? host->second : std::string("?")) + ", identifiant " + machine->second;
  return FillText(
      VK_TR_NOOP("Messages",
                 "Le dossier de sauvegarde (%s) appartient à une autre machine (%s) qui porte le "
                 "même nom de poste. Aucune sauvegarde n'est faite, pour ne pas mélanger les "
                 "fichiers des deux machines.\r\nDonnez un autre nom réseau à cette machine "
                 "ou, si elle remplace l'ancienne, supprimez le fichier (%s)."),
      {layout.StationFolder(), owner, path});
}

std::string DescribeLockHolder(const std::string& lockFileText) {
  const auto keys = ParseKeys(lockFileText);
  auto value = [&keys](const char* key) {
    const auto it = keys.find(key);
    return it == keys.end() || it->second.empty() ? std::string("?") : it->second;
  };
  if (keys.count("pid") == 0 && keys.count("host") == 0) return kUnknownHolder;
  return FillText(VK_TR_NOOP("Messages", "machine %s (%s), processus %s, depuis le %s"),
                  {value("host"), value("machine"), value("pid"), value("since")});
}

std::string LocalStandInLockPath(FileSystem& fs, const std::string& stationFolder,
                                 std::string& why) {
  // FNV-1a: the same name in every copy of the program, whatever built it.
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : stationFolder) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  // In this user's own folder: a name in the shared temporary folder could
  // be taken first by any local user, who would then stop this user's runs.
  std::vector<std::string> refusals;
  const std::string folder = fs.PrivateFolder(refusals);
  why.clear();
  if (folder.empty()) {
    for (const std::string& refusal : refusals) why += (why.empty() ? "" : " ; ") + refusal;
    if (why.empty()) why = "?";
    return {};
  }
  char name[64];
  std::snprintf(name, sizeof name, "varnoket-station-%016llx.lock",
                static_cast<unsigned long long>(hash));
  return JoinPath(folder, name);
}

// The store's file system takes no lock (some network mounts): runs of this
// machine still exclude each other through a lock of its own, unless the
// person asked that the store lock or nothing run. Nothing once the stand-in
// is held (in `lock`, its path in `local`), else the refusal.
namespace {

std::optional<StationLock> LockStandIn(FileSystem& fs, const std::string& station,
                                       bool storeLockRequired, const LockRequest& writer,
                                       StationLock& lock, std::string& local) {
  if (storeLockRequired) {
    return Refused(
        StationLockStatus::kFailed,
        FillText(VK_TR_NOOP("Messages",
                            "Le partage réseau des sauvegardes (%s) ne permet pas de verrou : "
                            "aucune sauvegarde n'est faite, pour que deux machines n'y "
                            "écrivent jamais en même temps. Montez-le avec la prise en charge "
                            "des verrous (NFS version 4, ou SMB sans l'option nolock)."),
                 {station}));
  }
  std::string why;
  local = LocalStandInLockPath(fs, station, why);
  if (local.empty()) {
    return Refused(
        StationLockStatus::kFailed,
        FillText(VK_TR_NOOP("Messages",
                            "Le disque de sauvegarde (%s) ne permet pas de verrou, et aucun "
                            "dossier de cet utilisateur ne peut recevoir en sûreté le "
                            "verrou qui le remplace : %s. Aucune sauvegarde n'est faite."),
                 {station, why}));
  }
  FsStatus lockFailure;
  const LockStatus status = fs.LockRange(local, writer, lock.localHeld, lockFailure);
  if (status == LockStatus::kBusy) return Busy(fs, local);
  if (status != LockStatus::kAcquired) {
    return Refused(StationLockStatus::kFailed,
                   FillText(VK_TR_NOOP("Messages",
                                       "Impossible de verrouiller le dossier de sauvegarde du "
                                       "poste (%s) : %s. Aucune sauvegarde n'est faite."),
                            {local, lockFailure.Reason()}));
  }
  lock.message = FillText(
      VK_TR_NOOP("Messages",
                 "ATTENTION: le disque de sauvegarde (%s) ne permet pas de verrou : seules les "
                 "sauvegardes de cette machine sont exclues les unes des autres."),
      {station});
  return std::nullopt;
}

}  // namespace

StationLock LockStation(FileSystem& fs, const StoreLayout& layout, const MachineIdentity& me,
                        const LocalDateTime& now, bool storeLockRequired) {
  const std::string station = layout.StationFolder();
  FsStatus why;
  const auto folder = fs.Stat(station, why);
  if (!folder && !why.NotFound()) {
    return Refused(StationLockStatus::kFailed,
                   FillText(VK_TR_NOOP("Messages",
                                       "Le dossier de sauvegarde du poste (%s) est illisible : %s. "
                                       "Aucune sauvegarde n'est faite."),
                            {station, why.Reason()}));
  }
  if (!folder || !folder->isDirectory) {
    return Refused(
        StationLockStatus::kFailed,
        FillText(VK_TR_NOOP("Messages",
                            "Le dossier de sauvegarde du poste (%s) est introuvable. Aucune "
                            "sauvegarde n'est faite."),
                 {station}));
  }
  const std::string path = layout.rules().Join(station, kStationLockName);
  std::string local;  // the stand-in, where the store takes no lock
  StationLock lock;
  const LockRequest writer{kWriterLockByte, 1, false, false, false};
  FsStatus lockFailure;
  switch (fs.LockRange(path, writer, lock.held, lockFailure)) {
    case LockStatus::kAcquired:
      break;
    case LockStatus::kBusy:
      return Busy(fs, path);
    case LockStatus::kUnsupported:
      if (auto refused = LockStandIn(fs, station, storeLockRequired, writer, lock, local)) {
        return std::move(*refused);
      }
      break;
    case LockStatus::kFailed:
      return Refused(
          StationLockStatus::kFailed,
          FillText(VK_TR_NOOP("Messages",
                              "Impossible de verrouiller le dossier de sauvegarde du poste "
                              "(%s) : %s. Aucune sauvegarde n'est faite."),
                   {path, lockFailure.Reason()}));
  }

  const std::string lockPath = lock.held ? path : local;
  const auto previous = fs.ReadFile(lockPath);
  lock.previousRunEnded = previous && ParseKeys(*previous).count(kEndedKey) != 0;
  lock.holder = "machine=" + me.id + "\r\nhost=" + me.host + "\r\npid=" + std::to_string(me.pid) +
                "\r\nsince=" + TimeText(now) + "\r\n";
  FileLock& record = lock.held ? *lock.held : *lock.localHeld;
  // Who holds the lock is for people's information: a lock whose holder
  // cannot be written is still held.
  record.WriteHolder(lock.holder);

  StationLockStatus status = StationLockStatus::kAcquired;
  const std::string refusal = CheckMachineMarker(fs, layout, me, status);
  if (!refusal.empty()) {
    // What the previous holder left is kept, so the station's next writer
    // still knows whether it ended well.
    if (previous) record.WriteHolder(*previous);
    return Refused(status, refusal);
  }
  lock.status = StationLockStatus::kAcquired;
  return lock;
}

void StationLock::MarkEnded() {
  FileLock* record = held ? held.get() : localHeld.get();
  if (record != nullptr) record->WriteHolder(holder + kEndedKey + "=1\r\n");
}

}  // namespace varnoket
