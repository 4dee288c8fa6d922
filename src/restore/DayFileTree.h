// Loading one backup day's filelist.txt into the restore tree: one node per
// directory (a top-level node per drive or server, or "/" for POSIX paths)
// and, in each node, the file entries that lie directly in that directory.
#pragma once

#include <functional>
#include <string>

#include "engine/DaySet.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "restore/CheckedList.h"
#include "restore/StateTree.h"

namespace varnoket {

// Reads one filelist.txt into `tree` (the caller clears it first), each line
// checked as outside input against the day's set (CheckedList.h): a line
// that is no sound record is left out of the tree and, when `unreadable` is
// given, added there for the caller to show and count. False when the file
// cannot be read (the caller shows "Impossible de lire le fichier (%s)").
// `pump` runs once per AddFileNode call.
bool LoadDayFileList(FileSystem& fs, const std::string& path, StateTree& tree,
                     const PathRules& rules, const std::function<void()>& pump = {},
                     const DaySet& set = {}, std::vector<UnreadableLine>* unreadable = nullptr);

// Places one entry below `parent` (kNoNode: the top level), `prefix` being the
// part of its FullPath already placed: a node per directory level (found or
// added in state 1), then the entry in its directory's file list, unless a
// directory node of the same name stands there. A directory record ("*")
// only makes its nodes, the last one noting the record's date and mode.
// Throws std::runtime_error with the internal check text for a path too
// short to place. `pump` runs once per path level.
void AddFileNode(StateTree& tree, FileNode entry, const std::string& prefix,
                 StateTree::NodeId parent, const PathRules& rules,
                 const std::function<void()>& pump = {});

// The text of the internal check of AddFileNode.
inline constexpr const char* kBadFileNameText = "Nom de fichier aberrants dans TreeAddInfoNode() !";

}  // namespace varnoket
