#include "restore/RestoreExecution.h"

#include <cerrno>
#include <memory>

#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/Translation.h"
#include "restore/RestoreFailureText.h"

namespace varnoket {

std::string RestoreDestination(const RestoreRunContext& ctx, const std::string& fullPath) {
  return ctx.destinationRoot.empty() ? fullPath : ctx.destinationRoot + fullPath;
}

std::string UnreadableLineText(const UnreadableLine& line) {
  return FillText(VK_TR_NOOP("Messages",
                             "---> ERREUR: Ligne illisible dans la liste du jour (%s) : %s. "
                             "Rien n'est restauré pour elle. <---"),
                  {line.text, Translate(kMessagesContext, LineFaultText(line.fault))});
}

RestoreExecution::RestoreExecution(const RestoreRunContext& ctx, RestoreHost& host)
    : ctx_(ctx),
      host_(host),
      folderDates_(ctx.fs, ctx.layout.rules(), ctx.destinationRoot),
      blocks_(ctx.workers),
      jobs_(ctx.workers, host) {}

void RestoreExecution::Folder(const std::string& destination, bool counted,
                              const std::string& shownPath,
                              const std::optional<RecordedFolder>& recorded) {
  const PathRules& rules = ctx_.layout.rules();
  std::string line;
  bool made = false;
  if (!ctx_.destinationRoot.empty() &&
      !PathContainment(ctx_.fs).IsSameOrBelow(destination, ctx_.destinationRoot)) {
    line = OutsideDestinationLine(destination, ctx_.destinationRoot);
  } else if (ctx_.fs.IsDirectory(destination)) {
    made = false;
  } else if (const FsStatus created = ctx_.fs.CreateDirectories(destination); created) {
    made = true;
  } else {
    // A ticked folder that cannot be made is a failed item like any file:
    // an empty one would otherwise vanish from the summary unnoticed.
    const std::string folder = rules.EnsureTrailingSeparator(destination);
    line = FolderFailedLine(folder, created.systemError(), rules.ExceededLengthLimit(folder));
  }
  if (!line.empty()) ++totals_.errors;
  if (made && counted) ++totals_.restoredCount;
  if (recorded && line.empty() && (made || ctx_.policy == ExistingFilePolicy::kReplace)) {
    folderDates_.Note(destination, *recorded);
  }
  // The lines wait for those of the files handed out before.
  jobs_.AddDone([this, shownPath, line] {
    if (!shownPath.empty()) {
      host_.Report(FillText(VK_TR_NOOP("Messages", "Répertoire-> %s"), {shownPath}));
    }
    if (!line.empty()) host_.Report(line);
  });
}

void RestoreExecution::File(RestoreEntry entry, std::function<void()> done,
                            std::optional<std::string> destination) {
  // With no day chosen there is nothing to restore from, and nothing to say.
  if (ctx_.dayIndex >= ctx_.dayFolders.size()) return;
  struct Job {
    RestoreEntry entry;
    std::string destination;
    std::string shownPath;
    HeldReport report;
    RestoreChoiceResult result;
  };
  auto job = std::make_shared<Job>();
  job->entry = std::move(entry);
  if (destination) {
    job->destination = std::move(*destination);
    job->shownPath = job->destination;
  } else {
    job->destination = RestoreDestination(ctx_, job->entry.fullPath);
  }
  const RestoreRunContext& ctx = ctx_;
  jobs_.Add(
      [job, &ctx, blocks = &blocks_] {
        job->result = RestoreWithChoice(ctx.fs, ctx.layout, ctx.dayFolders, ctx.dayIndex,
                                        job->entry, job->destination, ctx.policy, job->report,
                                        ctx.destinationRoot, job->shownPath, blocks);
      },
      [job, this, done = std::move(done)] {
        for (const std::string& line : job->report.lines) host_.Report(line);
        Count(job->result);
        if (done) done();
      });
}

void RestoreExecution::Failed(const std::string& line) {
  ++totals_.errors;
  jobs_.AddDone([this, line] { host_.Report(line); });
}

void RestoreExecution::Unreadable(const UnreadableLine& line) {
  ++totals_.errors;
  ++totals_.unreadableLines;
  jobs_.AddDone([this, text = UnreadableLineText(line)] { host_.Report(text); });
}

RestoreRunTotals RestoreExecution::Finish() {
  jobs_.Drain();
  // Only now: every file below the folders is in place.
  folderDates_.Apply();
  return totals_;
}

void RestoreExecution::Count(const RestoreChoiceResult& r) {
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

}  // namespace varnoket
