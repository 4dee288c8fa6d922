#include "restore/RestoreRun.h"

#include "restore/RestoreFailureText.h"
#include "restore/TickedDestinations.h"

namespace varnoket {

std::string NodePath(const StateTree& tree, StateTree::NodeId node, const PathRules& rules) {
  std::vector<StateTree::NodeId> chain;
  for (StateTree::NodeId n = node; n != StateTree::kNoNode; n = tree.Parent(n)) chain.push_back(n);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    path = path.empty() ? tree.Text(*it) : rules.Join(path, tree.Text(*it));
  }
  return path;
}

namespace {

RestoreEntry EntryOf(const FileNode& info) {
  return RestoreEntry{info.FullPath, info.StoredName, info.Attributes, info.FileDate, info.Content};
}

// The paths of the ticked directories that no ticked directory holds.
std::vector<std::string> TopTickedPaths(const StateTree& tree, const PathRules& rules) {
  std::vector<std::string> paths;
  for (const StateTree::NodeId node : tree.PreOrder()) {
    if (tree.State(node) != kStateTicked) continue;
    const StateTree::NodeId parent = tree.Parent(node);
    if (parent != StateTree::kNoNode && tree.State(parent) == kStateTicked) continue;
    paths.push_back(NodePath(tree, node, rules));
  }
  return paths;
}

// Whether a line that gave nothing concerns what the tree has ticked: its
// path lies in a ticked directory, or it has no place to tell.
bool Concerns(const std::vector<std::string>& ticked, const PathRules& rules,
              const UnreadableLine& line) {
  if (!rules.IsCleanAbsolutePath(line.path)) return true;
  for (const std::string& path : ticked) {
    if (rules.IsSameOrBelow(line.path, path)) return true;
  }
  return false;
}

}  // namespace

std::vector<PlannedFile> TickedFiles(const StateTree& tree, const RestoreRunContext& ctx) {
  std::vector<PlannedFile> planned;
  TickedDestinations destinations(tree, ctx);
  for (const StateTree::NodeId node : tree.PreOrder()) {
    const int32_t state = tree.State(node);
    if (state < kStateTicked) continue;
    const FileNodeList* files = tree.Files(node);
    if (files == nullptr) continue;
    for (const FileNode& info : *files) {
      if (state == kStatePartly && info.State != kStateTicked) continue;
      // A file with no place in the chosen folder is not planned: the run
      // refuses it.
      if (auto destination = destinations.File(node, info.FullPath)) {
        planned.push_back(PlannedFile{EntryOf(info), std::move(*destination)});
      }
    }
  }
  return planned;
}

RestoreRunTotals RunRestore(const StateTree& tree, const RestoreRunContext& ctx, RestoreHost& host,
                            const std::vector<UnreadableLine>& unreadable) {
  RestoreExecution run(ctx, host);
  TickedDestinations destinations(tree, ctx);
  bool aborted = false;
  if (!unreadable.empty()) {
    const std::vector<std::string> ticked = TopTickedPaths(tree, ctx.layout.rules());
    for (const UnreadableLine& line : unreadable) {
      if (Concerns(ticked, ctx.layout.rules(), line)) run.Unreadable(line);
    }
  }
  for (const StateTree::NodeId node : tree.PreOrder()) {
    const int32_t state = tree.State(node);
    if (state < kStateTicked) continue;
    if (!run.Running()) {
      aborted = true;
      break;
    }
    if (state == kStateTicked && destinations.PassedOver(node)) {
      // A step of the ticked item's path: nothing of it is made.
    } else if (state == kStateTicked) {
      // Drives and the file-system root are never counted as restored.
      if (const auto destination = destinations.Folder(node)) {
        run.Folder(*destination, tree.Parent(node) != StateTree::kNoNode, {},
                   tree.FolderRecord(node));
      } else {
        run.Failed(
            OutsideDestinationLine(NodePath(tree, node, ctx.layout.rules()), ctx.destinationRoot));
      }
    }
    const FileNodeList* files = tree.Files(node);
    if (files == nullptr) continue;
    for (const FileNode& info : *files) {
      if (state == kStatePartly && info.State != kStateTicked) continue;
      if (!run.Running()) {
        aborted = true;
        break;
      }
      if (!ctx.tickedItemsAtTop || ctx.destinationRoot.empty()) {
        run.File(EntryOf(info));
      } else if (auto destination = destinations.File(node, info.FullPath)) {
        run.File(EntryOf(info), {}, std::move(*destination));
      } else {
        run.Failed(OutsideDestinationLine(info.FullPath, ctx.destinationRoot));
      }
    }
    if (aborted) break;
  }
  RestoreRunTotals totals = run.Finish();
  // A stop asked while the last files were under way still makes the run
  // an aborted one, as the user expects from pressing it.
  totals.aborted = aborted || !run.Running();
  return totals;
}

}  // namespace varnoket
