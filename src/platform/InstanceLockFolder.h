// The folder of this user's own where the program keeps what no other user
// may touch: the instance marker, the socket a second start talks to, and
// the station lock's stand-in. A folder every user can write (/tmp) would let
// any local user take these names first and stop this user's backups, so
// each place is checked before use: a folder owned by this user that no one
// else can write, and never a link.
//
// The places, in order: $XDG_RUNTIME_DIR; when it is unset, the usual
// /run/user/<uid> if it is there (so a program started without the variable,
// from cron say, finds the same folder as the desktop's); then
// /tmp/varnoket-<uid> and $HOME/.cache/varnoket, both made owner-only when
// missing and refused when someone else made them.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace varnoket {

// Where the places are looked for: the process's own in the program, test
// folders in tests.
struct PrivateFolderPlaces {
  std::string runtimeDir;  // $XDG_RUNTIME_DIR; "" when unset
  std::string runUserRoot = "/run/user";
  std::string tempRoot = "/tmp";
  std::string home;  // $HOME, else the password database's
  uid_t uid = 0;
};

// This process's places.
PrivateFolderPlaces ThisUsersPlaces();

struct PrivateFolderCandidate {
  std::string path;
  bool create = false;  // made by the program when missing
  // No group or other access at all (the folders the program makes); the
  // runtime folder needs only to be unwritable by others.
  bool ownerOnly = false;
};

// The places to try, in order; relative and empty paths are left out, and
// /run/user/<uid> when nothing is there.
std::vector<PrivateFolderCandidate> PrivateFolderCandidates(const PrivateFolderPlaces& places);

// Opens the candidate folder (making it first when it may be made) and
// checks it: a real folder, not a link, owned by `uid`, with the access its
// kind allows. The open folder's descriptor on success (the caller closes
// it); -1 and `why` (French, naming the folder) when it must not be used.
int OpenPrivateFolder(const PrivateFolderCandidate& candidate, uid_t uid, std::string& why);

// The first safe place of this user, made when needed; "" when there is
// none. `refusals` receives why each place before it was passed over.
std::string PrivateFolder(const PrivateFolderPlaces& places, std::vector<std::string>& refusals);

}  // namespace varnoket
