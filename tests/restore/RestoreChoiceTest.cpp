// Restoring where the destination already holds a file: each policy, the
// names of kept copies, the plan counted beforehand, and failures that must
// leave the file on disk as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/FileRecord.h"
#include "restore/KeptCopyName.h"
#include "restore/RestoreChoice.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingRestoreHost.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

TEST(KeptCopyNameTest, TheMarkGoesBeforeTheExtensionAndANumberAfterTheFirstTry) {
  EXPECT_EQ(KeptCopyName("report.odt", "07032026", 1), "report (restauré du 07-03-2026).odt");
  EXPECT_EQ(KeptCopyName("report.odt", "07032026", 3), "report (restauré du 07-03-2026) 3.odt");
  EXPECT_EQ(KeptCopyName("archive.tar.gz", "07032026", 1),
            "archive.tar (restauré du 07-03-2026).gz");
  EXPECT_EQ(KeptCopyName("Makefile", "07032026", 2), "Makefile (restauré du 07-03-2026) 2");
  EXPECT_EQ(KeptCopyName(".bashrc", "07032026", 1), ".bashrc (restauré du 07-03-2026)");
}

TEST(ExistingFilePolicyTest, ParsesTheThreeWordsOnly) {
  EXPECT_EQ(ParseExistingFilePolicy("replace"), ExistingFilePolicy::kReplace);
  EXPECT_EQ(ParseExistingFilePolicy("keep-both"), ExistingFilePolicy::kKeepBoth);
  EXPECT_EQ(ParseExistingFilePolicy("skip"), ExistingFilePolicy::kSkip);
  EXPECT_FALSE(ParseExistingFilePolicy("Replace").has_value());
  EXPECT_FALSE(ParseExistingFilePolicy("").has_value());
}

// One day (01/03/2006) backed up from a set of three files; restores go to a
// folder of their own.
class RestoreChoiceTest : public ::testing::Test {
 protected:
  RestoreChoiceTest() {
    f.Write("a.txt", "recorded bytes");
    f.Write("b.txt", "second file");
    f.Write("c.txt", "third file");
    EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
    days = f.Days();
    for (const std::string& line : f.FileList(days[0])) {
      const auto rec = ParseFileRecord(line);
      RestoreEntry e{rec->fullPath, rec->storedName, rec->attributes, rec->fileDate};
      e.content = RecordedContent{rec->size, rec->checksum};
      entries.push_back(e);
    }
    // The list is in ordinal order of whole records, size first.
    std::sort(entries.begin(), entries.end(),
              [](const RestoreEntry& x, const RestoreEntry& y) { return x.fullPath < y.fullPath; });
    out = f.tmp / "out";
  }

  std::string To(const RestoreEntry& e) const { return out + e.fullPath; }
  RestoreChoiceResult Restore(const RestoreEntry& e, ExistingFilePolicy policy,
                              FileSystem& fs = DefaultFileSystem()) {
    host.lines.clear();
    return RestoreWithChoice(fs, f.ctx.Layout(), days, 0, e, To(e), policy, host);
  }
  // The names in the destination folder, sorted.
  std::vector<std::string> Folder() const {
    std::vector<std::string> names;
    for (const auto& e : fsys::directory_iterator(out + f.source)) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  StoreFixture f;
  std::vector<std::string> days;
  std::vector<RestoreEntry> entries;  // a.txt, b.txt, c.txt
  std::string out;
  RecordingRestoreHost host;
};

TEST_F(RestoreChoiceTest, MissingAndUpToDateDestinationsAreTheSameUnderEveryPolicy) {
  const RestoreEntry& a = entries[0];
  ASSERT_EQ(a.fullPath, f.source + "/a.txt");
  for (auto policy :
       {ExistingFilePolicy::kReplace, ExistingFilePolicy::kKeepBoth, ExistingFilePolicy::kSkip}) {
    fsys::remove_all(out);
    RestoreChoiceResult r = Restore(a, policy);
    EXPECT_EQ(r.outcome, RestoreOutcome::kCreated);
    EXPECT_EQ(r.bytes, 14);
    EXPECT_EQ(ReadFile(To(a)), "recorded bytes");
    r = Restore(a, policy);
    EXPECT_EQ(r.outcome, RestoreOutcome::kUpToDate);
    EXPECT_EQ(r.bytes, 14);
    EXPECT_EQ(host.lines, std::vector<std::string>{"Fichier-> " + a.fullPath + " (déjà à jour)"});
    EXPECT_EQ(Folder(), std::vector<std::string>{"a.txt"});
  }
}

TEST_F(RestoreChoiceTest, ADifferentFileIsReplacedSkippedOrKeptBeside) {
  const RestoreEntry& a = entries[0];
  WriteFile(To(a), "the user's newer text");
  RestoreChoiceResult r = Restore(a, ExistingFilePolicy::kSkip);
  EXPECT_EQ(r.outcome, RestoreOutcome::kSkipped);
  EXPECT_EQ(ReadFile(To(a)), "the user's newer text");
  ASSERT_EQ(host.lines.size(), 1u);
  EXPECT_NE(host.lines[0].find("(ignoré"), std::string::npos);

  r = Restore(a, ExistingFilePolicy::kKeepBoth);
  EXPECT_EQ(r.outcome, RestoreOutcome::kKeptBoth);
  const std::string kept = out + f.source + "/a (restauré du 01-03-2006).txt";
  EXPECT_EQ(r.keptAs, kept);
  EXPECT_EQ(ReadFile(To(a)), "the user's newer text");
  EXPECT_EQ(ReadFile(kept), "recorded bytes");
  // The kept copy bears the recorded date, like any restored file.
  EXPECT_EQ(DefaultFileSystem().Stat(kept)->dosDate, a.fileDate);

  // Taken names are passed over, the " 2" one as well as the first.
  WriteFile(out + f.source + "/a (restauré du 01-03-2006) 2.txt", "someone else's");
  r = Restore(a, ExistingFilePolicy::kKeepBoth);
  EXPECT_EQ(r.keptAs, out + f.source + "/a (restauré du 01-03-2006) 3.txt");
  EXPECT_EQ(ReadFile(kept), "recorded bytes");
  EXPECT_EQ(ReadFile(out + f.source + "/a (restauré du 01-03-2006) 2.txt"), "someone else's");
  EXPECT_EQ(ReadFile(r.keptAs), "recorded bytes");
  EXPECT_EQ(Folder().size(), 4u);  // no temporary file left

  r = Restore(a, ExistingFilePolicy::kReplace);
  EXPECT_EQ(r.outcome, RestoreOutcome::kReplaced);
  EXPECT_EQ(ReadFile(To(a)), "recorded bytes");
}

TEST_F(RestoreChoiceTest, APlanCountsWhatARunWouldMeetAndWritesNothing) {
  std::vector<PlannedFile> files;
  for (const auto& e : entries) files.push_back({e, To(e)});
  RestorePlan plan = PlanRestore(DefaultFileSystem(), files);
  EXPECT_EQ(plan.created, 3u);
  EXPECT_EQ(plan.upToDate + plan.different, 0u);
  EXPECT_FALSE(fsys::exists(out));

  ASSERT_EQ(Restore(entries[0], ExistingFilePolicy::kReplace).outcome, RestoreOutcome::kCreated);
  WriteFile(To(entries[1]), "different");
  // A folder where a file was is different too; a folder record is no file.
  fsys::create_directories(To(entries[2]));
  files.push_back({RestoreEntry{f.source + "/empty", kDirectoryStoredName}, out + "/empty"});
  plan = PlanRestore(DefaultFileSystem(), files);
  EXPECT_EQ(plan.created, 0u);
  EXPECT_EQ(plan.upToDate, 1u);
  EXPECT_EQ(plan.different, 2u);
  EXPECT_EQ(ReadFile(To(entries[1])), "different");

  // Without a recorded content a file is never found up to date.
  RestoreEntry unknown = entries[0];
  unknown.content = std::nullopt;
  EXPECT_EQ(PlanRestore(DefaultFileSystem(), {{unknown, To(unknown)}}).different, 1u);
}

TEST_F(RestoreChoiceTest, AFailedWriteLeavesTheExistingFileAndNoPartOfTheCopy) {
  const RestoreEntry& a = entries[0];
  WriteFile(To(a), "the user's newer text");
  for (auto policy : {ExistingFilePolicy::kReplace, ExistingFilePolicy::kKeepBoth}) {
    FaultyFileSystem full;
    full.FailCall(FsCall::kStreamWrite, 1, ENOSPC, true);
    const RestoreChoiceResult r = Restore(a, policy, full);
    EXPECT_EQ(r.outcome, RestoreOutcome::kFailed);
    EXPECT_FALSE(full.injected().empty());
    EXPECT_EQ(ReadFile(To(a)), "the user's newer text");
    EXPECT_EQ(Folder(), std::vector<std::string>{"a.txt"});
    ASSERT_FALSE(host.lines.empty());
    EXPECT_NE(host.lines.back().find("---> ERREUR: Impossible de recréer le fichier"),
              std::string::npos);
  }
  // A kept copy that cannot be given its name is taken away again.
  FaultyFileSystem noNames;
  noNames.rule = [](FsCall kind, const std::string& to) {
    const bool keptName = to.find("(restauré du") != std::string::npos;
    return kind == FsCall::kLink || (kind == FsCall::kRename && keptName) ? EROFS : 0;
  };
  const RestoreChoiceResult r = Restore(a, ExistingFilePolicy::kKeepBoth, noNames);
  EXPECT_EQ(r.outcome, RestoreOutcome::kFailed);
  EXPECT_EQ(ReadFile(To(a)), "the user's newer text");
  EXPECT_EQ(Folder(), std::vector<std::string>{"a.txt"});
  ASSERT_GE(host.lines.size(), 2u);
  EXPECT_EQ(host.lines[host.lines.size() - 2], "---> ERREUR: Impossible de recréer le fichier (" +
                                                   a.fullPath +
                                                   ") à côté du fichier existant ! <---");
  // Then why: the system refused to write there.
  EXPECT_EQ(
      host.lines.back().rfind("---> ERREUR: Accès refusé : impossible d'écrire le fichier (", 0),
      0u);
}

}  // namespace
}  // namespace varnoket::test
