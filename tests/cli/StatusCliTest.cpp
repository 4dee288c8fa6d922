// `varnoket-cli status` and what it is made of: the latest run's outcome
// read from the activity log, and sizes and durations written for people.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/LastRunOutcome.h"
#include "cli/CliRunner.h"
#include "cli/Units.h"
#include "engine/StoreCheck.h"
#include "platform/Clock.h"
#include "platform/DriveInfo.h"
#include "platform/ShownFormat.h"
#include "restore/ShownValues.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

TEST(LastRunOutcome, TheLogsLinesTellHowTheRunEnded) {
  const std::string head =
      "DATE;MESSAGE\r\n08/12/2026 14:00:01;Préparation de la sauvegarde ...\r\n";
  const std::string end = "08/12/2026 14:02:09;Fin de la sauvegarde !\r\n";
  struct Case {
    std::string log;
    LastRunState state;
    std::string error;
  };
  const Case cases[] = {
      {"", LastRunState::kNoLog, ""},
      {"DATE;MESSAGE\r\n", LastRunState::kNoLog, ""},
      {head + "08/12/2026 14:00:02;Début de la sauvegarde ...\r\n" +
           "08/12/2026 14:02:08;Sauvegarde terminée sur le poste PC Total Bytes=5 Total "
           "Fichiers distincts=1 (hors répertoires vides)\r\n" +
           end,
       LastRunState::kCompleted, ""},
      // A file that could not be read does not fail the day.
      {head + "08/12/2026 14:00:03;ERREUR: impossible de lire le fichier (/a)\r\n" +
           "08/12/2026 14:02:08;Sauvegarde terminée sur le poste PC\r\n" + end,
       LastRunState::kCompleted, "ERREUR: impossible de lire le fichier (/a)"},
      {head + "08/12/2026 14:00:02;Aucune modification n'a été détectée.\r\n" + end,
       LastRunState::kNoChange, ""},
      // Entries left out: done, and not a plain success, with or without changes.
      {head + "08/12/2026 14:00:03;ERREUR: impossible de lire le répertoire (/a)\r\n" +
           "08/12/2026 14:02:08;Sauvegarde terminée sur le poste PC\r\n" +
           "08/12/2026 14:02:08;Sauvegarde terminée avec 1 élément(s) non sauvegardé(s) : voir "
           "les lignes ERREUR et ATTENTION de ce journal.\r\n" +
           end,
       LastRunState::kLeftOut, "ERREUR: impossible de lire le répertoire (/a)"},
      {head + "08/12/2026 14:00:02;Aucune modification n'a été détectée.\r\n" +
           "08/12/2026 14:00:02;Sauvegarde terminée avec 2 élément(s) non sauvegardé(s)\r\n" + end,
       LastRunState::kLeftOut, ""},
      {head +
           "08/12/2026 14:00:02;ERREUR: une sauvegarde plus récente que la date du jour "
           "existe (09/12/2026). Sauvegarde interrompue.\r\n" +
           end,
       LastRunState::kFailed,
       "ERREUR: une sauvegarde plus récente que la date du jour existe (09/12/2026). "
       "Sauvegarde interrompue."},
      {head +
           "08/12/2026 14:00:02;La préparation de la sauvegarde a échoué. Sauvegarde "
           "interrompue.\r\n" +
           end,
       LastRunState::kFailed, "La préparation de la sauvegarde a échoué. Sauvegarde interrompue."},
      // Logs an earlier version wrote, with its wordings, still read the same.
      {head +
           "08/12/2026 14:00:02;La préparation de la sauvegarde à échoué. Sauvegarde "
           "interrompue.\r\n" +
           end,
       LastRunState::kFailed, "La préparation de la sauvegarde à échoué. Sauvegarde interrompue."},
      {head +
           "08/12/2026 14:02:08;Sauvegarde terminée sur le poste PC Total Bytes=5 Total "
           "Fichiers distincts=1 (hors transferts FTP et répertoires vides)\r\n" +
           end,
       LastRunState::kCompleted, ""},
      {head + "08/12/2026 14:01:00;Sauvegarde interrompue : le programme se termine.\r\n" + end,
       LastRunState::kStopped, ""},
      // LF line ends and a message's continuation line.
      {"DATE;MESSAGE\n08/12/2026 14:00:01;Début de la sauvegarde ...\nsuite du message\n",
       LastRunState::kUnfinished, ""},
  };
  for (const Case& c : cases) {
    const LastRunOutcome r = LastRunOutcomeOfLog(c.log);
    EXPECT_EQ(r.state, c.state) << c.log;
    EXPECT_EQ(r.error, c.error) << c.log;
  }
  EXPECT_EQ(LastRunOutcomeOfLog(head + end).when, "08/12/2026 14:02:09");
  EXPECT_EQ(LastRunOutcomeOfLog("DATE;MESSAGE\n08/12/2026 14:00:01;Début\nsuite\n").when,
            "08/12/2026 14:00:01");
}

TEST(Units, SizesAndDurationsReadAsAPersonSaysThem) {
  const std::pair<int64_t, std::string> sizes[] = {
      {0, "0 o"},
      {1023, "1023 o"},
      {1024, "1,0 Ko"},
      {1536, "1,5 Ko"},
      {1024 * 1024 - 1, "1,0 Mo"},
      {100LL * 1024 * 1024, "100 Mo"},
      {5LL * 1024 * 1024 * 1024 / 2, "2,5 Go"},
      {3LL << 40, "3,0 To"},
  };
  for (const auto& [bytes, text] : sizes)
    EXPECT_EQ(ByteSizeText(bytes, SizeStyle::kShort), text) << bytes;
  const std::pair<int64_t, std::string> durations[] = {
      {-3, "0 s"},           {59, "59 s"},         {60, "1 min 00 s"},
      {3599, "59 min 59 s"}, {3600, "1 h 00 min"}, {7385, "2 h 03 min"},
  };
  for (const auto& [seconds, text] : durations) {
    EXPECT_EQ(HumanDuration(seconds), text) << seconds;
  }
}

TEST(StatusCli, SaysWhereTheStationsBackupsStand) {
  TempDir tmp;
  DriveInfo drives;
  drives.RefreshDrive(tmp.path());
  if (drives.GetDriveRec(tmp.path()).DriveType != DRIVE_FIXED) {
    GTEST_SKIP() << tmp.path() << " is not on a fixed disk";
  }
  const std::string prog = "--program-folder " + Quoted(tmp / "prog") + " --station PC ";
  fsys::create_directories(tmp / "prog");
  fsys::create_directories(tmp / "store");
  const CliOutput unset = RunTool(prog + "status");
  EXPECT_EQ(unset.code, 2);
  EXPECT_NE(unset.err.find("n'est pas configuré"), std::string::npos) << unset.err;

  ASSERT_EQ(RunTool(prog + "config store " + Quoted(tmp / "store")).code, 0);
  const CliOutput fresh = RunTool(prog + "status");
  ASSERT_EQ(fresh.code, 0) << fresh.err;
  const std::string stationFile = ReadFile(tmp / "store/PC/PC.ini");
  EXPECT_EQ(fresh.out.rfind(
                "Poste : PC\n"
                "Aucune sauvegarde réussie pour l'instant\n"
                "Journées mémorisées : 0 sur 30 au plus\n"
                "Taille des sauvegardes du poste : " +
                    ByteSizeText(static_cast<int64_t>(stationFile.size()), SizeStyle::kShort) +
                    " (" + std::to_string(stationFile.size()) +
                    " o)\n"
                    "Dossiers cachés : inclus (sauf les caches du bureau)\n"
                    "Dernière exécution : aucune pour l'instant\n"
                    "Prochaine sauvegarde : ",
                0),
            0u)
      << fresh.out;
  // The room on the store's disk, in the largest unit.
  EXPECT_NE(fresh.out.find("\nEspace libre sur le disque des sauvegardes : "), std::string::npos)
      << fresh.out;
  EXPECT_EQ(fresh.out.find("inconnu"), std::string::npos) << fresh.out;

  WriteFile(tmp / "src/a.txt", std::string(300000, 'a'));
  ASSERT_EQ(RunTool(prog + "add " + Quoted(tmp / "src")).code, 0);
  ASSERT_EQ(RunTool(prog + "backup").code, 0);
  const CliOutput done = RunTool(prog + "status");
  ASSERT_EQ(done.code, 0) << done.err;
  const LocalDateTime now = SystemClock().Now();
  char today[16];
  std::snprintf(today, sizeof today, "%02d/%02d/%04d", now.day, now.month, now.year);
  EXPECT_NE(done.out.find("Dernière sauvegarde réussie : " + std::string(today) +
                          " (aujourd'hui)\nJournées mémorisées : 1 sur 30 au plus\n"),
            std::string::npos)
      << done.out;
  EXPECT_NE(done.out.find("Dernière exécution : terminée le " + std::string(today)),
            std::string::npos)
      << done.out;
  // Today's backup is made: the next one is tomorrow's.
  EXPECT_NE(done.out.find("\nProchaine sauvegarde : demain à 13:00\n"), std::string::npos)
      << done.out;
  // The size is every byte below the station folder, the log included.
  uintmax_t bytes = 0;
  for (const auto& e : fsys::recursive_directory_iterator(tmp / "store/PC")) {
    if (e.is_regular_file()) bytes += e.file_size();
  }
  EXPECT_NE(done.out.find("Taille des sauvegardes du poste : " +
                          ByteSizeText(static_cast<int64_t>(bytes), SizeStyle::kShort) + " (" +
                          ByteSizeText(static_cast<int64_t>(bytes), SizeStyle::kExact) + ")\n"),
            std::string::npos)
      << done.out;

  ASSERT_EQ(RunTool(prog + "backup").code, 0);
  const std::string again = RunTool(prog + "status").out;
  EXPECT_NE(again.find("Dernière exécution : terminée le " + std::string(today) + " "),
            std::string::npos);
  EXPECT_NE(again.find(", aucune modification\n"), std::string::npos) << again;

  // The disk unplugged: its mount point is an empty folder again.
  fsys::rename(tmp / "store", tmp / "unplugged");
  fsys::create_directories(tmp / "store");
  const CliOutput absent = RunTool(prog + "status");
  EXPECT_EQ(absent.code, 0);
  EXPECT_EQ(absent.out.rfind("Poste : PC\n" + std::string(kStoreAbsentText) + " (" +
                                 (tmp / "store") + ")\nAucune sauvegarde réussie",
                             0),
            0u)
      << absent.out;
  EXPECT_NE(absent.out.find("\nEspace libre sur le disque des sauvegardes : inconnu\n"),
            std::string::npos)
      << absent.out;
}

}  // namespace
}  // namespace varnoket::test
