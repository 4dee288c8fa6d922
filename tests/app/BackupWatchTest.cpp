// When the program warns that backups are not happening: the picture and
// text it shows, a failure told at once, the daily reminder until a run
// succeeds, a busy station told once, and a clock set back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/BackupWatch.h"
#include "app/LastSuccess.h"
#include "app/RecordingNotifier.h"
#include "support/KeptDay.h"

namespace varnoket::test {
namespace {

struct RecordingDisplay final : BackupWatchDisplay {
  void ShowLastSuccess(const std::string& shownText, bool shownWarning) override {
    text = shownText;
    warning = shownWarning;
    ++shows;
  }
  std::string text;
  bool warning = false;
  int shows = 0;
};

class BackupWatchTest : public ::testing::Test {
 protected:
  void At(int day, int hour = 14) { clock_.Set({2026, 12, day, hour, 0, 0, 0}); }

  RunReport Run(BackupOutcome outcome, const std::string& date, const std::string& error = "") {
    RunReport report;
    report.outcome = outcome;
    report.lastBackupDate = KeptDay(date);
    report.errorText = error;
    report.refusal = "Une autre sauvegarde est en cours sur ce poste.";
    return report;
  }

  ManualClock clock_{{2026, 12, 8, 14, 0, 0, 0}};
  RecordingNotifier notifier_;
  RecordingDisplay display_;
  BackupWatch watch_{clock_, notifier_, display_};
};

TEST_F(BackupWatchTest, ShowingTheDateWarnsOnlyPastTheAlertAgeAndTellsNothing) {
  watch_.Show(KeptDay("05/12/2026"), 3);  // three days: not yet older than three
  EXPECT_EQ(display_.text, "Dernière sauvegarde réussie : 05/12/2026 (il y a 3 jours)");
  EXPECT_FALSE(display_.warning);
  watch_.Show(KeptDay("04/12/2026"), 3);
  EXPECT_TRUE(display_.warning);
  EXPECT_TRUE(notifier_.sent.empty());
}

TEST_F(BackupWatchTest, ATooOldSuccessIsRemindedOnceADayUntilARunSucceeds) {
  watch_.Check(KeptDay("01/12/2026"), 3);
  ASSERT_EQ(notifier_.Summaries(), std::vector<std::string>{kTooOldSummary});
  EXPECT_EQ(notifier_.sent[0].body,
            "Aucune sauvegarde n'a réussi depuis plus de 3 jours.\n"
            "Dernière sauvegarde réussie : 01/12/2026 (il y a 7 jours)");
  EXPECT_TRUE(notifier_.sent[0].critical);
  EXPECT_TRUE(display_.warning);

  At(8, 23);  // later the same day: no second reminder
  watch_.Check(KeptDay("01/12/2026"), 3);
  EXPECT_EQ(notifier_.sent.size(), 1u);

  At(9, 0);  // the next day: again
  watch_.Check(KeptDay("01/12/2026"), 3);
  EXPECT_EQ(notifier_.sent.size(), 2u);

  watch_.RunEnded(Run(BackupOutcome::kCompleted, "09/12/2026"), 3);
  EXPECT_FALSE(display_.warning);
  EXPECT_EQ(display_.text, "Dernière sauvegarde réussie : 09/12/2026 (aujourd'hui)");
  At(10);
  watch_.Check(KeptDay("09/12/2026"), 3);
  EXPECT_EQ(notifier_.sent.size(), 2u);
}

TEST_F(BackupWatchTest, AFailedRunIsToldAtOnceThenDailyUntilARunSucceeds) {
  watch_.RunEnded(Run(BackupOutcome::kFailed, "07/12/2026", "ERREUR: disque plein"), 3);
  ASSERT_EQ(notifier_.sent.size(), 1u);
  EXPECT_EQ(notifier_.sent[0].summary, kRunFailedSummary);
  EXPECT_EQ(notifier_.sent[0].body, "La sauvegarde du 08/12/2026 a échoué.\nERREUR: disque plein");
  EXPECT_TRUE(watch_.LastRunFailed());
  // Yesterday's success is recent, but the failure alone brings the warning.
  EXPECT_TRUE(display_.warning);
  EXPECT_EQ(display_.text, "Dernière sauvegarde réussie : 07/12/2026 (il y a 1 jour)");

  watch_.Check(KeptDay("07/12/2026"), 3);  // the failure counted as today's word
  EXPECT_EQ(notifier_.sent.size(), 1u);
  At(9);
  watch_.Check(KeptDay("07/12/2026"), 3);
  ASSERT_EQ(notifier_.sent.size(), 2u);
  EXPECT_EQ(notifier_.sent[1].body,
            "La dernière sauvegarde a échoué.\n"
            "Dernière sauvegarde réussie : 07/12/2026 (il y a 2 jours)");

  // The tick's retry failing the same way is not told again; another
  // failure is.
  watch_.RunEnded(Run(BackupOutcome::kFailed, "07/12/2026", "ERREUR: disque plein"), 3);
  EXPECT_EQ(notifier_.sent.size(), 2u);
  watch_.RunEnded(Run(BackupOutcome::kForeignStation, "07/12/2026"), 3);
  ASSERT_EQ(notifier_.sent.size(), 3u);
  EXPECT_EQ(notifier_.sent[2].body, "La sauvegarde du 09/12/2026 a échoué.");

  // Stopped by the end of the program: the failure still stands.
  watch_.RunEnded(Run(BackupOutcome::kStopped, "07/12/2026"), 3);
  EXPECT_TRUE(watch_.LastRunFailed());

  // A run with nothing to copy is a success too.
  watch_.RunEnded(Run(BackupOutcome::kNoChange, "09/12/2026"), 3);
  EXPECT_FALSE(watch_.LastRunFailed());
  EXPECT_FALSE(display_.warning);
  At(10);
  watch_.Check(KeptDay("09/12/2026"), 3);
  EXPECT_EQ(notifier_.sent.size(), 3u);
}

TEST_F(BackupWatchTest, ARunThatLeftEntriesOutIsToldAndWarnsUntilARunLeavesNothingOut) {
  RunReport report = Run(BackupOutcome::kCompletedWithLeftOut, "08/12/2026");
  report.leftOut = 3;
  report.logPath = "/srv/sauv/PC/LASTBACKUP.LOG";
  watch_.RunEnded(report, 3);
  ASSERT_EQ(notifier_.Summaries(), std::vector<std::string>{kLeftOutSummary});
  EXPECT_EQ(notifier_.sent[0].body,
            "La sauvegarde du 08/12/2026 est faite, mais 3 élément(s) n'ont pas pu être "
            "sauvegardés.\nLa liste est dans le journal (/srv/sauv/PC/LASTBACKUP.LOG).");
  // The day counts as saved, and the picture still warns.
  EXPECT_EQ(display_.text, "Dernière sauvegarde réussie : 08/12/2026 (aujourd'hui)");
  EXPECT_TRUE(display_.warning);
  watch_.Show(KeptDay("08/12/2026"), 3);
  EXPECT_TRUE(display_.warning);
  At(9);
  watch_.RunEnded(Run(BackupOutcome::kNoChange, "09/12/2026"), 3);
  EXPECT_FALSE(display_.warning);
  EXPECT_EQ(notifier_.sent.size(), 1u);
}

TEST_F(BackupWatchTest, ADaySavedWhileSomethingElseFailedIsToldWithTheError) {
  // A scheduled run nobody watches: the damaged old copy it found is told.
  const std::string damaged =
      "ERREUR: copie endommagée de (/home/anna/a.txt) ; les journées 01/12/2026 et 02/12/2026 "
      "en dépendent.";
  watch_.RunEnded(Run(BackupOutcome::kCompleted, "08/12/2026", damaged), 3);
  ASSERT_EQ(notifier_.Summaries(), std::vector<std::string>{kRunProblemSummary});
  EXPECT_EQ(notifier_.sent[0].body, "La sauvegarde du 08/12/2026 est faite, mais :\n" + damaged);
  EXPECT_TRUE(notifier_.sent[0].critical);
  // The next day's clean run says nothing, as any scheduled run that went well.
  At(9);
  watch_.RunEnded(Run(BackupOutcome::kNoChange, "09/12/2026"), 3);
  EXPECT_EQ(notifier_.sent.size(), 1u);
}

TEST_F(BackupWatchTest, ABusyStationIsToldOnceUntilARunGetsThrough) {
  const int shows = display_.shows;
  watch_.RunEnded(Run(BackupOutcome::kBusy, "07/12/2026"), 3);
  watch_.RunEnded(Run(BackupOutcome::kBusy, "07/12/2026"), 3);
  ASSERT_EQ(notifier_.Summaries(), std::vector<std::string>{kRunPutOffSummary});
  EXPECT_EQ(notifier_.sent[0].body, "Une autre sauvegarde est en cours sur ce poste.");
  EXPECT_FALSE(notifier_.sent[0].critical);
  EXPECT_EQ(display_.shows, shows);  // the hint keeps the refusal
  EXPECT_FALSE(watch_.LastRunFailed());

  watch_.RunEnded(Run(BackupOutcome::kCompleted, "08/12/2026"), 3);
  watch_.RunEnded(Run(BackupOutcome::kBusy, "08/12/2026"), 3);
  EXPECT_EQ(notifier_.sent.size(), 2u);

  // The button's run says it in a box: no notification besides.
  BackupWatch other(clock_, notifier_, display_);
  RunReport asked = Run(BackupOutcome::kBusy, "08/12/2026");
  asked.askedByUser = true;
  other.RunEnded(asked, 3);
  EXPECT_EQ(notifier_.sent.size(), 2u);
}

TEST_F(BackupWatchTest, AClockSetBackNeverWarnsOfAge) {
  watch_.Check(KeptDay("20/12/2026"), 3);
  EXPECT_EQ(display_.text, "Dernière sauvegarde réussie : 20/12/2026 (dans le futur)");
  EXPECT_FALSE(display_.warning);
  EXPECT_TRUE(notifier_.sent.empty());
}

TEST_F(BackupWatchTest, AStationNeverBackedUpIsNotTooOldButItsFailuresCount) {
  watch_.Check(KeptDay("31/12/2002"), 3);
  EXPECT_EQ(display_.text, kNoSuccessText);
  EXPECT_FALSE(display_.warning);
  EXPECT_TRUE(notifier_.sent.empty());
  watch_.RunEnded(Run(BackupOutcome::kFailed, "31/12/2002"), 3);
  EXPECT_TRUE(display_.warning);
  EXPECT_EQ(notifier_.sent.size(), 1u);
}

TEST_F(BackupWatchTest, TheAlertAgeIsReadAtEachCheck) {
  watch_.Check(KeptDay("01/12/2026"), 10);
  EXPECT_FALSE(display_.warning);
  watch_.Check(KeptDay("01/12/2026"), 6);
  EXPECT_TRUE(display_.warning);
  EXPECT_EQ(notifier_.sent.size(), 1u);
  EXPECT_NE(notifier_.sent[0].body.find("plus de 6 jours"), std::string::npos);
}

TEST_F(BackupWatchTest, AnAbsentDiskIsToldOnceAndShownUntilARunReachesTheStore) {
  RunReport absent = Run(BackupOutcome::kStoreAbsent, "07/12/2026");
  absent.refusal = "Disque de sauvegarde absent : /media/disk";
  watch_.RunEnded(absent, 3);
  watch_.RunEnded(absent, 3);  // the next tick finds it absent again
  ASSERT_EQ(notifier_.Summaries(), std::vector<std::string>{"Disque de sauvegarde absent"});
  EXPECT_EQ(notifier_.sent[0].body,
            "Disque de sauvegarde absent : /media/disk\n"
            "La sauvegarde partira dès qu'il sera branché.");
  EXPECT_FALSE(notifier_.sent[0].critical);
  EXPECT_EQ(display_.text, absent.refusal);
  watch_.Check(KeptDay("07/12/2026"), 3);
  EXPECT_EQ(display_.text, absent.refusal) << "the tick keeps saying it";
  EXPECT_EQ(notifier_.sent.size(), 1u);

  // The disk came and the run worked: the last success again, and a later
  // absence (here at start-up, without a path) is a new one.
  watch_.RunEnded(Run(BackupOutcome::kCompleted, "08/12/2026"), 3);
  EXPECT_EQ(display_.text, LastSuccessText(KeptDay("08/12/2026"), clock_.Now()));
  EXPECT_FALSE(watch_.StoreAbsentShown());
  watch_.StoreAbsent("");
  ASSERT_EQ(notifier_.sent.size(), 2u);
  EXPECT_EQ(notifier_.sent[1].body.rfind("Disque de sauvegarde absent\n", 0), 0u)
      << notifier_.sent[1].body;
}

}  // namespace
}  // namespace varnoket::test
