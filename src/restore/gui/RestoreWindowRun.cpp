// The restore window's runs: where the items go (in place or below a chosen
// folder), the question about destinations that hold a different file, the
// run of the ticked items or of one version of a file, and the summary.
#include <QCheckBox>
#include <QLabel>
#include <exception>

#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/Translation.h"
#include "restore/ChosenFolderPath.h"
#include "restore/DayRecord.h"
#include "restore/RestoreChoice.h"
#include "restore/RestoreCountsText.h"
#include "restore/RestoreFailureText.h"
#include "restore/TickedDestinations.h"
#include "restore/gui/RestoreChoiceBoxes.h"
#include "restore/gui/RestoreReportWindow.h"
#include "restore/gui/RestoreWindow.h"
#include "restore/gui/TriStateTreeView.h"

namespace varnoket {

void RestoreWindow::SetRestoreElsewhere(bool elsewhere) {
  destinationRoot_.clear();
  if (elsewhere) {
    if (env_.picker == nullptr && !ownPicker_) {
      ownPicker_ = std::make_unique<DesktopDestinationPicker>(this);
    }
    FolderPicker& picker = env_.picker != nullptr ? *env_.picker : *ownPicker_;
    std::string folder = env_.rules.RemoveTrailingSeparator(
        picker.BrowseForFolder(tr(kDestinationTitle).toStdString(), true));
    const std::string root = Root();
    // Files restored into the store would mix with its stored copies, and a
    // later merge of days could take them for its own.
    if (!folder.empty() && !root.empty() && PathContainment(env_.fs).IsSameOrBelow(folder, root)) {
      env_.dialogs.Error(DestinationInStoreText(folder, root));
      folder.clear();
    }
    if (!folder.empty() && !DestinationIsUsable(folder)) folder.clear();
    destinationRoot_ = folder;
  }
  ShowDestination();
}

bool RestoreWindow::DestinationIsUsable(const std::string& folder) {
  // A missing folder is made by the run; anything else standing there is
  // not written into.
  const std::optional<DirEntry> there = env_.fs.Stat(folder);
  if (there && !env_.fs.IsDirectory(folder)) {
    env_.dialogs.Error(DestinationNotAFolderText(folder));
    return false;
  }
  return true;
}

void RestoreWindow::ShowDestination() {
  elsewhereBox_->setChecked(!destinationRoot_.empty());
  destinationLabel_->setText(QString::fromStdString(
      destinationRoot_.empty() ? tr(kInPlaceText).toStdString() : destinationRoot_));
  elsewhereNote_->setVisible(!destinationRoot_.empty());
}

std::optional<ExistingFilePolicy> RestoreWindow::AskExistingFiles(size_t different) {
  if (different == 0) return ExistingFilePolicy::kReplace;
  if (env_.existingFiles == nullptr && !ownQuestion_) {
    ownQuestion_ = std::make_unique<DesktopExistingFilesQuestion>(this);
  }
  ExistingFilesQuestion& question =
      env_.existingFiles != nullptr ? *env_.existingFiles : *ownQuestion_;
  return question.Ask(different);
}

RestoreRunContext RestoreWindow::RunContext(ExistingFilePolicy policy) const {
  RestoreRunContext ctx(env_.fs, *layout_, dayFolders_);
  ctx.dayIndex = static_cast<size_t>(previousDayIndex_);
  if (env_.workers) ctx.workers = env_.workers();
  ctx.policy = policy;
  ctx.destinationRoot = destinationRoot_;
  ctx.tickedItemsAtTop = true;
  return ctx;
}

void RestoreWindow::StartRestore() {
  if (Busy() || previousDayIndex_ < 0 || !layout_) return;
  // The folder may have been replaced by a file since it was chosen.
  if (!destinationRoot_.empty() && !DestinationIsUsable(destinationRoot_)) return;
  const StateTree& tree = folderTree_->Tree();
  const RestoreRunContext planCtx = RunContext(ExistingFilePolicy::kReplace);
  if (const auto shared = TickedDestinations(tree, planCtx).SharedDestination()) {
    env_.dialogs.Error(SharedDestinationText(*shared));
    return;
  }
  const std::vector<PlannedFile> files = TickedFiles(tree, planCtx);
  // The warning that files will be replaced comes only when one would be.
  const RestorePlan plan = PlanRestore(env_.fs, files);
  const char* question = plan.different > 0 ? kRestoreQuestion : kRestoreNothingReplacedQuestion;
  if (env_.dialogs.Warning(question, DialogButtons::kOkCancel) != DialogAnswer::kOk) return;
  const std::optional<ExistingFilePolicy> policy = AskExistingFiles(plan.different);
  if (!policy) return;

  BeginRun();
  const RestoreRunContext ctx = RunContext(*policy);
  RestoreRunTotals totals;
  std::optional<std::string> failure;
  // The window is disabled while the work reads the tree: nothing changes
  // it meanwhile.
  DoWork([&] {
    try {
      totals = RunRestore(tree, ctx, *this, unreadable_);
    } catch (const std::exception& e) {
      failure = e.what();
    }
  });
  if (failure) {
    // Nothing below is meant to throw; should it, the window still comes
    // back and the user hears of it.
    env_.dialogs.Error(*failure);
    ++totals.errors;
  }
  EndRun(totals, files.size());
}

void RestoreWindow::RestoreVersion(const std::string& fullPath, const FileVersion& version) {
  if (Busy() || !layout_) return;
  size_t dayIndex = 0;
  while (dayIndex < dayFolders_.size() && dayFolders_[dayIndex] != version.dayFolder) ++dayIndex;
  std::optional<RestoreEntry> entry;
  if (dayIndex < dayFolders_.size() &&
      !ReadStore([&] { entry = DayFileRecord(env_.fs, *layout_, version.dayFolder, fullPath); }))
    return;
  if (!entry) {
    env_.dialogs.Error(
        UnreadableFileListText(layout_->FileListPath(layout_->DayFolder(version.dayFolder))));
    return;
  }
  if (!destinationRoot_.empty() && !DestinationIsUsable(destinationRoot_)) return;
  const PathRules& rules = layout_->rules();
  // Elsewhere, the file goes directly in the chosen folder, as a file
  // ticked alone does.
  const std::optional<std::string> destination =
      destinationRoot_.empty()
          ? std::optional<std::string>(fullPath)
          : PathInChosenFolder(rules, destinationRoot_,
                               rules.RemoveTrailingSeparator(rules.ParentWithSeparator(fullPath)),
                               fullPath);
  if (!destination) {
    env_.dialogs.Error(OutsideDestinationLine(fullPath, destinationRoot_));
    return;
  }
  const PlannedFile file{*entry, *destination};
  const std::optional<ExistingFilePolicy> policy =
      AskExistingFiles(PlanRestore(env_.fs, {file}).different);
  if (!policy) return;

  BeginRun();
  RestoreRunTotals totals;
  DoWork([&] { totals = RestoreOneVersion(file, dayIndex, *policy); });
  EndRun(totals, 1);
}

RestoreRunTotals RestoreWindow::RestoreOneVersion(const PlannedFile& file, size_t dayIndex,
                                                  ExistingFilePolicy policy) {
  const std::string folder = layout_->rules().ParentWithSeparator(file.destination);
  RestoreRunTotals totals;
  if (!env_.fs.IsDirectory(folder) && !env_.fs.CreateDirectories(folder)) {
    Report(FillText(
        VK_TR_NOOP("Messages", "---> ERREUR: Impossible de recréer le répertoire (%s) ! <---"),
        {folder}));
    ++totals.errors;
  } else {
    const RestoreChoiceResult r = RestoreWithChoice(
        env_.fs, *layout_, dayFolders_, dayIndex, file.entry, file.destination, policy, *this,
        destinationRoot_, destinationRoot_.empty() ? std::string() : file.destination);
    switch (r.outcome) {
      case RestoreOutcome::kCreated:
        ++totals.created;
        break;
      case RestoreOutcome::kUpToDate:
        ++totals.upToDate;
        break;
      case RestoreOutcome::kReplaced:
        ++totals.replaced;
        break;
      case RestoreOutcome::kKeptBoth:
        ++totals.keptBoth;
        break;
      case RestoreOutcome::kSkipped:
        ++totals.skipped;
        break;
      case RestoreOutcome::kFailed:
        ++totals.errors;
        break;
    }
    totals.restoredCount = totals.FilesRestored();
    if (totals.restoredCount > 0) totals.restoredBytes = r.bytes;
  }
  return totals;
}

void RestoreWindow::BeginRun() {
  if (env_.stopTimer) env_.stopTimer();
  restoreRunning_ = true;
  running_ = true;
  setEnabled(false);
  report_.Begin();
  restoredCount_ = 0;
  restoredBytes_ = 0;
  report_.Write(kStartText);
}

void RestoreWindow::EndRun(RestoreRunTotals totals, size_t tickedFiles) {
  totals.aborted = totals.aborted || !restoreRunning_;
  restoredCount_ = totals.restoredCount;
  restoredBytes_ = totals.restoredBytes;

  const RestoreSummary summary = RunSummaryOf(totals, tickedFiles);
  if (summary.warning) {
    env_.dialogs.Warning(summary.text);
  } else {
    env_.dialogs.Information(summary.text);
  }

  // The report stays up, its button now closing it, so its lines can be
  // read and saved.
  report_.Finish();
  if (env_.startTimer) env_.startTimer();
  setEnabled(true);
  restoreRunning_ = false;
  running_ = false;
  ApplyDeferred();
}

}  // namespace varnoket
