#include "engine/RotatingCheck.h"

#include <algorithm>
#include <set>

#include "engine/CopyCheck.h"
#include "engine/DamagedCopies.h"
#include "engine/DayFolders.h"
#include "engine/FileRecord.h"
#include "engine/RotationState.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "platform/WorkerPool.h"

namespace varnoket {

namespace {

using SteadyClock = std::chrono::steady_clock;

// The station's days before `today`, oldest first: today's copies were
// checked as they were written.
std::vector<std::string> OlderDays(BackupContext& ctx, const Day& today) {
  std::vector<std::string> days = SortedDayFolders(ctx.fs, ctx.rules, ctx.Layout().StationFolder());
  const std::string todayKey = DayKey(DayFolderName(today));
  days.erase(std::remove_if(days.begin(), days.end(),
                            [&](const std::string& d) { return DayKey(d) >= todayKey; }),
             days.end());
  return days;
}

// The bytes of every regular file below the day folders.
uint64_t StoredBytes(BackupContext& ctx, const std::vector<std::string>& days) {
  uint64_t total = 0;
  for (const std::string& day : days)
    total += FolderBytes(ctx.fs, ctx.rules, ctx.Layout().DayFolder(day));
  return total;
}

// "07/03/2006" for the folder "07032006".
std::string DayTextOf(const std::string& folder) {
  return DayTextOfKey(DayKey(folder));
}

// The days whose lists restore `record` from the copy of the day folder
// `day`: that day, and each later one (today's included) that lists the
// same name with the same content, up to a day that holds a copy of its own
// under the name.
std::string DaysRelyingOn(BackupContext& ctx, const std::string& day, const FileRecord& record) {
  const StoreLayout layout = ctx.Layout();
  const std::vector<std::string> days = SortedDayFolders(ctx.fs, ctx.rules, layout.StationFolder());
  std::string said = DayTextOf(day);
  const size_t index = static_cast<size_t>(std::find(days.begin(), days.end(), day) - days.begin());
  for (size_t d = index + 1; d < days.size(); ++d) {
    const std::string folder = layout.DayFolder(days[d]);
    if (ctx.fs.Stat(layout.StoredFilePath(folder, record.storedName))) break;
    const auto list = ReadListFile(ctx.fs, layout.FileListPath(folder));
    if (!list) break;
    const bool lists = std::any_of(list->begin(), list->end(), [&](const std::string& line) {
      // The name on the line first: few lines hold it.
      const auto view = ViewFileRecord(line);
      if (!view || view->storedName != record.storedName) return false;
      const auto other = ParseFileRecord(line);
      return other && other->SameContent(record);
    });
    if (!lists) break;
    said += ", " + DayTextOf(days[d]);
  }
  return said;
}

class Slice {
 public:
  Slice(BackupContext& ctx, const RotationLimits& limits, uint64_t budget)
      : ctx_(ctx),
        layout_(ctx.Layout()),
        budget_(budget),
        deadline_(SteadyClock::now() + limits.time),
        blocks_(ctx.workers) {}

  // Decodes the copies of days[index] from its record `first`; false when the
  // slice must end before the day does, `stopAt` then holding the record to
  // go on from.
  bool CheckDay(const std::vector<std::string>& days, size_t index, uint64_t first,
                uint64_t& stopAt) {
    const std::string folder = layout_.DayFolder(days[index]);
    const auto list = ReadListFile(ctx_.fs, layout_.FileListPath(folder));
    if (!list) {
      ++result.unreadable;
      ctx_.Log(FillText(VK_TR_NOOP("Messages",
                                   "Vérification des anciennes copies : la liste (%s) est "
                                   "illisible."),
                        {layout_.FileListPath(folder)}));
      return true;
    }
    std::set<std::string> seen;  // twins share one copy
    for (uint64_t r = first; r < list->size(); ++r) {
      if (Over()) {
        stopAt = r;
        return false;
      }
      const auto record = ParseFileRecord((*list)[r]);
      if (!record || record->IsDirectory() || !ctx_.rules.IsSafeStoredName(record->storedName) ||
          !seen.insert(record->storedName).second) {
        continue;
      }
      const std::string copy = layout_.StoredFilePath(folder, record->storedName);
      const auto entry = ctx_.fs.Stat(copy);
      if (!entry || !entry->isRegularFile) continue;  // an older day holds it
      Check(days, index, *record, copy);
      result.bytes += entry->size;
    }
    return true;
  }

  RotationSlice result;

 private:
  bool Over() {
    ctx_.host.ProcessMessages();
    if (ctx_.host.StopRequested() || SteadyClock::now() >= deadline_) {
      result.stopped = true;
      return true;
    }
    return result.bytes >= budget_;
  }

  void Check(const std::vector<std::string>& days, size_t index, const FileRecord& record,
             const std::string& copy) {
    ++result.copies;
    const CopyCheckResult checked = CheckCopy(ctx_.fs, copy, record, &blocks_);
    if (checked == CopyCheckResult::kSame) return;
    if (checked == CopyCheckResult::kUnreadable) {
      ++result.unreadable;
      ctx_.Log(
          FillText(VK_TR_NOOP("Messages",
                              "Vérification des anciennes copies : copie illisible (%s) pour %s."),
                   {copy, record.fullPath}));
      return;
    }
    ++result.damaged;
    RecordDamagedCopy(ctx_.fs, layout_, days[index], record.storedName);
    ctx_.Log(FillText(
        VK_TR_NOOP("Messages",
                   "Vérification des anciennes copies : copie endommagée (%s) pour %s. La "
                   "prochaine sauvegarde stockera à nouveau ce fichier s'il n'a pas changé ; "
                   "sinon, ces journées ne le restaurent plus : %s."),
        {copy, record.fullPath, DaysRelyingOn(ctx_, days[index], record)}));
  }

  BackupContext& ctx_;
  const StoreLayout layout_;
  const uint64_t budget_;
  const SteadyClock::time_point deadline_;
  WorkerPool blocks_;  // a large copy's blocks, decoded on every core
};

// Where the pass goes on: the first day at or after the one noted.
size_t FirstDayOf(const std::vector<std::string>& days, const RotationState& state,
                  uint64_t& record) {
  const std::string key = DayKey(state.nextDay);
  size_t d = 0;
  while (d < days.size() && DayKey(days[d]) < key) ++d;
  record = d < days.size() && days[d] == state.nextDay ? state.nextRecord : 0;
  return d;
}

}  // namespace

RotationSlice CheckOldCopiesSlice(BackupContext& ctx, const Day& today,
                                  const RotationLimits& limits) {
  if (limits.periodDays <= 0) return {};
  const std::vector<std::string> days = OlderDays(ctx, today);
  if (days.empty()) return {};
  const StoreLayout layout = ctx.Layout();
  RotationState state = ReadRotationState(ctx.fs, layout);
  if (state.passBegun.empty()) {
    state.passBegun = DayText(today);
    state.passBytes = StoredBytes(ctx, days);
    state.nextDay.clear();
    state.nextRecord = 0;
  }
  ctx.host.SetTrayHint(VK_TR_NOOP("Messages", "Vérification des anciennes copies..."));
  const uint64_t budget =
      std::max<uint64_t>(1, state.passBytes / static_cast<uint64_t>(limits.periodDays));
  Slice slice(ctx, limits, budget);
  uint64_t record = 0;
  size_t d = state.nextDay.empty() ? 0 : FirstDayOf(days, state, record);
  for (; d < days.size(); ++d, record = 0) {
    uint64_t stopAt = 0;
    if (!slice.CheckDay(days, d, record, stopAt)) {
      state.nextDay = days[d];
      state.nextRecord = stopAt;
      break;
    }
  }
  RotationSlice result = slice.result;
  if (d == days.size()) {
    result.passEnded = true;
    state.doneBegun = state.passBegun;
    state.doneEnded = DayText(today);
    state.passBegun.clear();
    state.nextDay.clear();
    state.nextRecord = 0;
  }
  WriteRotationState(ctx.fs, layout, state);
  if (result.copies + result.unreadable == 0) return result;
  ctx.Log(FillText(VK_TR_NOOP("Messages",
                              "Vérification des anciennes copies : %s copie(s) relue(s), %s "
                              "endommagée(s), %s illisible(s)."),
                   {std::to_string(result.copies), std::to_string(result.damaged),
                    std::to_string(result.unreadable)}));
  if (result.passEnded) {
    ctx.Log(
        FillText(VK_TR_NOOP("Messages", "Toutes les anciennes copies ont été relues depuis le %s."),
                 {state.doneBegun}));
  }
  if (result.damaged > 0) {
    ctx.ReportError(FillText(VK_TR_NOOP("Messages",
                                        "ERREUR: la vérification des anciennes copies a trouvé "
                                        "%s copie(s) endommagée(s) : voir le journal."),
                             {std::to_string(result.damaged)}));
  }
  return result;
}

}  // namespace varnoket
