#include "restore/RestoreRun.h"

#include <memory>

#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "restore/OrderedJobs.h"
#include "restore/RestoreChoice.h"

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

std::string RestoreDestination(const RestoreRunContext& ctx, const std::string& fullPath) {
  return ctx.destinationRoot.empty() ? fullPath : ctx.destinationRoot + fullPath;
}

namespace {

RestoreEntry EntryOf(const FileNode& info) {
  return RestoreEntry{info.FullPath, info.StoredName, info.Attributes, info.FileDate, info.Content};
}

}  // namespace

std::vector<PlannedFile> TickedFiles(const StateTree& tree, const RestoreRunContext& ctx) {
  std::vector<PlannedFile> planned;
  for (const StateTree::NodeId node : tree.PreOrder()) {
    const int32_t state = tree.State(node);
    if (state < kStateTicked) continue;
    const FileNodeList* files = tree.Files(node);
    if (files == nullptr) continue;
    for (const FileNode& info : *files) {
      if (state == kStatePartly && info.State != kStateTicked) continue;
      planned.push_back(PlannedFile{EntryOf(info), RestoreDestination(ctx, info.FullPath)});
    }
  }
  return planned;
}

namespace {

class Walk {
 public:
  Walk(const StateTree& tree, const RestoreRunContext& ctx, RestoreHost& host)
      : tree_(tree), ctx_(ctx), host_(host), jobs_(ctx.workers, host) {}

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
    jobs_.Drain();
    // A stop asked while the last files were under way still makes the run
    // an aborted one, as the user expects from pressing it.
    if (!Running()) totals_.aborted = true;
    return totals_;
  }

 private:
  bool Running() const { return !host_.StopRequested(); }

  void MakeDirectory(StateTree::NodeId node) {
    const std::string path = RestoreDestination(ctx_, NodePath(tree_, node, ctx_.layout.rules()));
    if (ctx_.fs.IsDirectory(path)) return;
    if (ctx_.fs.CreateDirectories(path)) {
      // Drives and the file-system root are never counted as restored.
      if (tree_.Parent(node) != StateTree::kNoNode) ++totals_.restoredCount;
      return;
    }
    // A ticked directory that cannot be made is a failed item like any file:
    // an empty one would otherwise vanish from the summary unnoticed. Its
    // line waits for the lines of the files handed out before it.
    const std::string folder = ctx_.layout.rules().EnsureTrailingSeparator(path);
    std::string line;
    if (const size_t limit = ctx_.layout.rules().ExceededLengthLimit(folder)) {
      line = FillText(VK_TR_NOOP("Messages",
                                 "---> ERREUR: Nom de répertoire de plus de %s "
                                 "caractères ! Impossible de le recréer (%s) ! <---"),
                      {std::to_string(limit), folder});
    } else {
      line = FillText(
          VK_TR_NOOP("Messages", "---> ERREUR: Impossible de recréer le répertoire (%s) ! <---"),
          {folder});
    }
    ++totals_.errors;
    jobs_.AddDone([this, line] { host_.Report(line); });
  }

  // False when the user stopped the run before one of the files.
  bool RestoreFiles(StateTree::NodeId node, bool tickedOnly) {
    const FileNodeList* files = tree_.Files(node);
    if (files == nullptr) return true;
    for (size_t i = 0; i < files->size(); ++i) {
      const FileNode& info = (*files)[i];
      if (tickedOnly && info.State != kStateTicked) continue;
      if (!Running()) return false;
      RestoreOne(EntryOf(info));
    }
    return true;
  }

  // What one file's work leaves for its finish step.
  struct FileJob {
    RestoreEntry entry;
    HeldReport report;
    RestoreChoiceResult result;
  };

  void RestoreOne(RestoreEntry entry) {
    // With no day chosen there is nothing to restore from, and nothing to say.
    if (ctx_.dayIndex >= ctx_.dayFolders.size()) return;
    auto job = std::make_shared<FileJob>();
    job->entry = std::move(entry);
    const RestoreRunContext& ctx = ctx_;
    jobs_.Add(
        [job, &ctx] {
          job->result = RestoreWithChoice(ctx.fs, ctx.layout, ctx.dayFolders, ctx.dayIndex,
                                          job->entry, RestoreDestination(ctx, job->entry.fullPath),
                                          ctx.policy, job->report);
        },
        [job, this] {
          for (const std::string& line : job->report.lines) host_.Report(line);
          Count(job->result);
        });
  }

  void Count(const RestoreChoiceResult& r) {
    switch (r.outcome) {
      case RestoreOutcome::kCreated:
        ++totals_.created;
        break;
      case RestoreOutcome::kUpToDate:
        ++totals_.upToDate;
        break;
      case RestoreOutcome::kReplaced:
        ++totals_.replaced;
        break;
      case RestoreOutcome::kKeptBoth:
        ++totals_.keptBoth;
        break;
      case RestoreOutcome::kSkipped:
        ++totals_.skipped;
        return;
      case RestoreOutcome::kFailed:
        ++totals_.errors;
        return;
    }
    ++totals_.restoredCount;
    totals_.restoredBytes += r.bytes;
  }

  const StateTree& tree_;
  const RestoreRunContext& ctx_;
  RestoreHost& host_;
  RestoreRunTotals totals_;
  // Last, so that the work in flight ends before the rest goes.
  OrderedJobs jobs_;
};

}  // namespace

RestoreRunTotals RunRestore(const StateTree& tree, const RestoreRunContext& ctx,
                            RestoreHost& host) {
  return Walk(tree, ctx, host).Run();
}

}  // namespace varnoket
