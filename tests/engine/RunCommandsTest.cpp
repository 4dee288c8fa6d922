// The commands run around a backup: a before-command that fails cancels the
// run and stores nothing, the after-command runs after every run that got
// that far with its outcome, their output is in the log under their own mark,
// and a stop ends a before-command that hangs.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/BackupRun.h"
#include "support/StoreFixture.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

size_t Position(const StoreFixture& f, const std::string& line) {
  return static_cast<size_t>(std::find(f.host.logged.begin(), f.host.logged.end(), line) -
                             f.host.logged.begin());
}

bool LoggedLine(const StoreFixture& f, const std::string& line) {
  return Position(f, line) < f.host.logged.size();
}

TEST(RunCommandsTest, AFailedBeforeCommandCancelsTheRunAndTheAfterCommandStillRuns) {
  StoreFixture f;
  f.Write("notes.txt", "what the day holds");
  const std::string seen = f.tmp / "after.txt";
  f.ctx.commands.before = "echo stopping the database; exit 4";
  f.ctx.commands.after = "echo \"$VARNOKET_WHEN $VARNOKET_OUTCOME $VARNOKET_STATION\" > " + seen +
                         "; echo Fin de la sauvegarde !";
  const auto lastBackup = f.station.lastBackupDate;

  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  const std::string failure =
      "ERREUR: la commande avant la sauvegarde a échoué (code 4) : la sauvegarde n'a pas lieu.";
  EXPECT_TRUE(LoggedLine(f, "Commande avant la sauvegarde : " + f.ctx.commands.before));
  EXPECT_TRUE(LoggedLine(f, "[avant] stopping the database"));
  EXPECT_TRUE(LoggedLine(f, failure));
  EXPECT_EQ(f.host.errorWindow, std::vector<std::string>{failure});
  EXPECT_FALSE(LoggedLine(f, "Préparation de la sauvegarde ..."));
  EXPECT_TRUE(f.Days().empty());
  EXPECT_EQ(f.station.lastBackupDate, lastBackup);
  EXPECT_EQ(ReadFile(seen), "after failed POSTE1\n");
  // What the command prints is marked as its own: it cannot end the log.
  EXPECT_TRUE(LoggedLine(f, "[après] Fin de la sauvegarde !"));
  EXPECT_EQ(f.host.logged.back(), "Fin de la sauvegarde !");

  f.ctx.commands.before = "echo ready";
  EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_LT(Position(f, "[avant] ready"), Position(f, "Préparation de la sauvegarde ..."));
  EXPECT_LT(Position(f, "La commande après la sauvegarde a fini sans erreur."),
            Position(f, "Fin de la sauvegarde !"));
  EXPECT_EQ(ReadFile(seen), "after completed POSTE1\n");
  EXPECT_FALSE(f.ctx.afterCommandFailed);
  ASSERT_EQ(f.Days().size(), 1u);
  EXPECT_EQ(f.RestoreDay(f.Days()[0]).files, f.Snapshot());

  EXPECT_EQ(f.Backup(), BackupOutcome::kNoChange);
  EXPECT_EQ(ReadFile(seen), "after nochange POSTE1\n");
}

TEST(RunCommandsTest, AFailedAfterCommandIsToldButTheDayIsKept) {
  StoreFixture f;
  f.Write("notes.txt", "kept");
  f.ctx.commands.after = "exit 5";
  EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_TRUE(f.ctx.afterCommandFailed);
  EXPECT_EQ(f.host.errorWindow,
            std::vector<std::string>{"ERREUR: la commande après la sauvegarde a échoué (code 5)."});
  ASSERT_EQ(f.Days().size(), 1u);

  f.ctx.commands.after = f.tmp / "no-such-command";
  EXPECT_EQ(f.Backup(), BackupOutcome::kNoChange);
  EXPECT_TRUE(f.ctx.afterCommandFailed);
  EXPECT_TRUE(LoggedLine(f, "ERREUR: la commande après la sauvegarde est introuvable (code 127)."));

  f.ctx.commands.after = "true";
  EXPECT_EQ(f.Backup(), BackupOutcome::kNoChange);
  EXPECT_FALSE(f.ctx.afterCommandFailed);
}

// The program ending while a before-command hangs ends the command and the
// run; nothing is stored and nothing is waited for.
TEST(RunCommandsTest, TheEndOfTheProgramEndsAHangingBeforeCommand) {
  StoreFixture f;
  f.Write("notes.txt", "never stored");
  f.ctx.commands.before = "sleep 60; echo never";
  f.host.stopOnHint = "Préparation de sauvegarde";
  EXPECT_EQ(RunBackup(f.ctx), BackupOutcome::kStopped);
  EXPECT_TRUE(LoggedLine(f, "La commande avant la sauvegarde a été arrêtée."));
  EXPECT_TRUE(LoggedLine(f, kStoppedLine));
  EXPECT_FALSE(LoggedLine(f, "[avant] never"));
  EXPECT_TRUE(f.Days().empty());
}

}  // namespace
}  // namespace varnoket::test
