// The status texts the window, the tray and `status` share: when the next
// backup comes, and how a run the person stopped is read back from its log.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/LastRunOutcome.h"
#include "app/RunStatus.h"
#include "engine/BackupRun.h"
#include "platform/ShownFormat.h"
#include "support/KeptDay.h"

namespace varnoket {
namespace {

LocalDateTime At(int day, int hour, int minute) {
  return {2026, 3, day, hour, minute, 0, 0};
}

TEST(NextBackupText, TodayTomorrowOrAtTheNextCheck) {
  // Not done today, time not reached: today.
  EXPECT_EQ(NextBackupText(At(10, 9, 5), KeptDay("09/03/2026"), 13, 0, false),
            "Prochaine sauvegarde : aujourd'hui à 13:00");
  // Not done today and the time is past: the next tick starts it.
  EXPECT_EQ(NextBackupText(At(10, 13, 0), KeptDay("09/03/2026"), 13, 0, false),
            "Prochaine sauvegarde : à la prochaine vérification (toutes les 10 minutes)");
  // Done today, or today's run stopped by the person: tomorrow.
  EXPECT_EQ(NextBackupText(At(10, 9, 5), KeptDay("10/03/2026"), 7, 5, false),
            "Prochaine sauvegarde : demain à 07:05");
  EXPECT_EQ(NextBackupText(At(10, 15, 0), KeptDay("09/03/2026"), 13, 0, true),
            "Prochaine sauvegarde : demain à 13:00");
  // Never backed up (the station's first date) or an unreadable date: due.
  EXPECT_EQ(NextBackupText(At(10, 14, 0), KeptDay("31/12/2002"), 13, 0, false),
            "Prochaine sauvegarde : à la prochaine vérification (toutes les 10 minutes)");
  EXPECT_EQ(NextBackupText(At(10, 14, 0), std::nullopt, 13, 0, false),
            "Prochaine sauvegarde : à la prochaine vérification (toutes les 10 minutes)");
}

TEST(LastRunOutcome, ARunThePersonStoppedIsToldApartFromTheProgramEnding) {
  const std::string head = "Journal\r\n";
  const LastRunOutcome cancelled = LastRunOutcomeOfLog(
      head + "10/03/2026 14:00:01;Début de la sauvegarde ...\r\n10/03/2026 14:00:09;" +
      kCancelledLine + "\r\n10/03/2026 14:00:09;Fin de la sauvegarde !\r\n");
  EXPECT_EQ(cancelled.state, LastRunState::kCancelled);
  EXPECT_EQ(LastRunText(cancelled, "/s/LASTBACKUP.LOG"),
            "arrêtée le 10/03/2026 14:00:09 à la demande de l'utilisateur");
  const LastRunOutcome ended =
      LastRunOutcomeOfLog(head + "10/03/2026 14:00:09;" + kStoppedLine +
                          "\r\n10/03/2026 14:00:09;Fin de la sauvegarde !\r\n");
  EXPECT_EQ(ended.state, LastRunState::kStopped);
  // Without a date formatter installed, the screen's form is the log's.
  EXPECT_EQ(ShownLogTime("10/03/2026 14:00:09"), "10/03/2026 14:00:09");
  EXPECT_EQ(ShownLogTime("10/13/2026 14:00:09"), "10/13/2026 14:00:09");
  EXPECT_EQ(ShownLogTime("garbage"), "garbage");
  EXPECT_EQ(FreeSpaceText(std::nullopt), "Espace libre sur le disque des sauvegardes : inconnu");
  EXPECT_EQ(FreeSpaceText(uint64_t{5} << 30),
            "Espace libre sur le disque des sauvegardes : 5,0 Go");
}

std::string IsoForm(const LocalDateTime& t, bool withTime) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
  std::string shown = text;
  if (withTime) {
    std::snprintf(text, sizeof text, " %02d:%02d:%02d", t.hour, t.minute, t.second);
    shown += text;
  }
  return shown;
}

// A log's time is shown in the screen's form only when it is a real moment;
// anything else in the log is shown as it stands.
TEST(ShownLogTime, OnlyARealMomentTakesTheScreensForm) {
  SetShownConventions(FrenchConventions(), &IsoForm);
  const std::string real = ShownLogTime("10/03/2026 14:00:09");
  const std::string noSuchDay = ShownLogTime("31/02/2026 14:00:09");
  const std::string noSuchHour = ShownLogTime("10/03/2026 24:00:09");
  const std::string more = ShownLogTime("10/03/2026 14:00:09 and more");
  SetShownConventions(FrenchConventions());
  EXPECT_EQ(real, "2026-03-10 14:00:09");
  EXPECT_EQ(noSuchDay, "31/02/2026 14:00:09");
  EXPECT_EQ(noSuchHour, "10/03/2026 24:00:09");
  EXPECT_EQ(more, "10/03/2026 14:00:09 and more");
}

}  // namespace
}  // namespace varnoket
