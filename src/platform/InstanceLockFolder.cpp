#include "platform/InstanceLockFolder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Environment.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Translation.h"

namespace varnoket {

namespace {

std::string HomeOf(uid_t uid) {
  std::string home = EnvironmentValue("HOME");
  if (!home.empty()) return home;
  const passwd* entry = ::getpwuid(uid);
  return entry != nullptr && entry->pw_dir != nullptr ? std::string(entry->pw_dir) : std::string();
}

bool Absolute(const std::string& path) {
  return !path.empty() && path.front() == '/';
}

std::string Refusal(const char* pattern, const std::string& path) {
  return FillText(pattern, {ShownText(path)});
}

}  // namespace

PrivateFolderPlaces ThisUsersPlaces() {
  PrivateFolderPlaces places;
  places.uid = ::geteuid();
  places.runtimeDir = EnvironmentValue("XDG_RUNTIME_DIR");
  places.home = HomeOf(places.uid);
  return places;
}

std::vector<PrivateFolderCandidate> PrivateFolderCandidates(const PrivateFolderPlaces& places) {
  std::vector<PrivateFolderCandidate> candidates;
  const std::string uid = std::to_string(places.uid);
  if (!places.runtimeDir.empty()) {
    if (Absolute(places.runtimeDir)) candidates.push_back({places.runtimeDir, false, false});
  } else if (Absolute(places.runUserRoot)) {
    // Only a guess at the usual place: its absence is no refusal.
    const std::string runUser = JoinPath(places.runUserRoot, uid);
    struct stat info {};
    if (::lstat(runUser.c_str(), &info) == 0) candidates.push_back({runUser, false, false});
  }
  if (Absolute(places.tempRoot)) {
    candidates.push_back({places.tempRoot + "/varnoket-" + uid, true, true});
  }
  if (Absolute(places.home)) {
    candidates.push_back({places.home + "/.cache/varnoket", true, true});
  }
  return candidates;
}

int OpenPrivateFolder(const PrivateFolderCandidate& candidate, uid_t uid, std::string& why) {
  const std::string& path = candidate.path;
  if (candidate.create) {
    // The parent of a folder under the home folder may be missing too; its
    // own safety is the home folder's.
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) ::mkdir(path.substr(0, slash).c_str(), 0700);
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
      why = FillText(VK_TR_NOOP("Messages", "impossible de créer le dossier (%s) : %s"),
                     {ShownText(path), strerror(errno)});
      return -1;
    }
  }
  // Opened without following a link, then checked through the descriptor:
  // what is checked is what is used, whatever happens to the name meanwhile.
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ELOOP || errno == ENOTDIR) {
      why = Refusal(VK_TR_NOOP("Messages", "(%s) n'est pas un dossier mais un lien ou un fichier"),
                    path);
    } else {
      why = FillText(VK_TR_NOOP("Messages", "impossible d'ouvrir le dossier (%s) : %s"),
                     {ShownText(path), strerror(errno)});
    }
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode)) {
    why = Refusal(VK_TR_NOOP("Messages", "(%s) n'est pas un dossier"), path);
  } else if (info.st_uid != uid) {
    why =
        Refusal(VK_TR_NOOP("Messages", "le dossier (%s) appartient à un autre utilisateur"), path);
  } else if (candidate.ownerOnly && (info.st_mode & 077) != 0) {
    why =
        Refusal(VK_TR_NOOP("Messages", "le dossier (%s) est ouvert à d'autres utilisateurs"), path);
  } else if ((info.st_mode & 022) != 0) {
    why = Refusal(
        VK_TR_NOOP("Messages", "le dossier (%s) est modifiable par d'autres utilisateurs"), path);
  } else {
    return fd;
  }
  ::close(fd);
  return -1;
}

std::string PrivateFolder(const PrivateFolderPlaces& places, std::vector<std::string>& refusals) {
  refusals.clear();
  for (const PrivateFolderCandidate& candidate : PrivateFolderCandidates(places)) {
    std::string why;
    const int fd = OpenPrivateFolder(candidate, places.uid, why);
    if (fd >= 0) {
      ::close(fd);
      return candidate.path;
    }
    refusals.push_back(why);
  }
  return {};
}

}  // namespace varnoket
