#include "restore/RestoreRun.h"

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

class Walk {
 public:
  Walk(const StateTree& tree, const RestoreRunContext& ctx, RestoreHost& host)
      : tree_(tree), ctx_(ctx), host_(host) {}

  RestoreRunTotals Run() {
    for (const StateTree::NodeId node : tree_.PreOrder()) {
      const int32_t state = tree_.State(node);
      if (state < kStateTicked) continue;
      if (!Running()) {
        totals_.aborted = true;
        break;
      }
      if (state == kStateTicked) MakeDirectory(node);
      if (!RestoreFiles(node, state == kStatePartly)) {
        totals_.aborted = true;
        break;
      }
    }
    return totals_;
  }

 private:
  bool Running() const { return !host_.StopRequested(); }

  void Report(const std::string& line) const { host_.Report(line); }

  void MakeDirectory(StateTree::NodeId node) {
    const std::string path = NodePath(tree_, node, ctx_.layout.rules());
    if (ctx_.fs.IsDirectory(path)) return;
    if (ctx_.fs.CreateDirectories(path)) {
      // Drives and the file-system root are never counted as restored.
      if (tree_.Parent(node) != StateTree::kNoNode) ++totals_.restoredCount;
      return;
    }
    // A ticked directory that cannot be made is a failed item like any file:
    // an empty one would otherwise vanish from the summary unnoticed.
    const std::string folder = ctx_.layout.rules().EnsureTrailingSeparator(path);
    if (const size_t limit = ctx_.layout.rules().ExceededLengthLimit(folder)) {
      Report("---> ERREUR: Nom de répertoire de plus de " + std::to_string(limit) +
             " caractères ! Impossible de le recréer (" + folder + ") ! <---");
    } else {
      Report("---> ERREUR: Impossible de recréer le répertoire (" + folder + ") ! <---");
    }
    ++totals_.errors;
  }

  // False when the user stopped the run after one of the files.
  bool RestoreFiles(StateTree::NodeId node, bool tickedOnly) {
    const FileNodeList* files = tree_.Files(node);
    if (files == nullptr) return true;
    for (size_t i = 0; i < files->size(); ++i) {
      const FileNode& info = (*files)[i];
      if (tickedOnly && info.State != kStateTicked) continue;
      RestoreOne(RestoreEntry{info.FullPath, info.StoredName, info.Attributes, info.FileDate});
      if (!Running()) return false;
    }
    return true;
  }

  void RestoreOne(const RestoreEntry& entry) {
    // With no day chosen there is nothing to restore from, and nothing to say.
    if (ctx_.dayIndex >= ctx_.dayFolders.size()) return;
    const RestoreItemResult r = RestoreItem(ctx_.fs, ctx_.layout, ctx_.dayFolders, ctx_.dayIndex,
                                            entry, entry.fullPath, host_);
    if (r.status == RestoreStatus::kRestored) {
      ++totals_.restoredCount;
      totals_.restoredBytes += r.bytes;
    } else {
      ++totals_.errors;
    }
  }

  const StateTree& tree_;
  const RestoreRunContext& ctx_;
  RestoreHost& host_;
  RestoreRunTotals totals_;
};

}  // namespace

RestoreRunTotals RunRestore(const StateTree& tree, const RestoreRunContext& ctx,
                            RestoreHost& host) {
  return Walk(tree, ctx, host).Run();
}

}  // namespace varnoket
