// The destinations of what a tick tree has ticked, for one run: the
// recorded paths (in place), the recorded paths below a chosen folder, or,
// when the run says so, each ticked item directly in the chosen folder with
// only its own name and what lies below it (ChosenFolderPath).
#pragma once

#include <optional>
#include <string>
#include <unordered_map>

#include "restore/RestoreExecution.h"
#include "restore/StateTree.h"

namespace varnoket {

class TickedDestinations {
 public:
  // `tree` and `ctx` must outlive this and stay as they are.
  TickedDestinations(const StateTree& tree, const RestoreRunContext& ctx);

  // A ticked folder that holds nothing but the one folder below it, above
  // the ticked item: ticking a folder ticks such parents too (all their
  // content is ticked), but they are steps of its path, not items, and are
  // not made in the chosen folder.
  bool PassedOver(StateTree::NodeId node);
  // Where the ticked folder `node` goes; nullopt when its path has no place
  // in the chosen folder.
  std::optional<std::string> Folder(StateTree::NodeId node);
  // Where a file listed under `node` goes; nullopt likewise.
  std::optional<std::string> File(StateTree::NodeId node, const std::string& fullPath);

  // The first destination that two ticked items would share, when each goes
  // directly in the chosen folder (two files "a.txt" ticked in different
  // folders): one would take the other's place. nullopt when there is none.
  std::optional<std::string> SharedDestination();

 private:
  bool AtTop() const { return !ctx_.destinationRoot.empty() && ctx_.tickedItemsAtTop; }
  // The folder whose path is cut off the destinations of `node` and of the
  // files listed in it: the parent of the ticked item that holds them ("" for
  // an item at the top of the tree, which keeps its whole path).
  const std::string& Base(StateTree::NodeId node);
  // Whether the ticked `node` is a ticked item itself, not inside one.
  bool IsItem(StateTree::NodeId node);

  const StateTree& tree_;
  const RestoreRunContext& ctx_;
  std::unordered_map<StateTree::NodeId, std::string> bases_;
  std::unordered_map<StateTree::NodeId, bool> items_;
};

}  // namespace varnoket
