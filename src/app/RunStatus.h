// The texts of the program's status, shared by the main window's status
// block, the tray's menu and tooltip, and `varnoket-cli status`: when the
// next backup comes, how much room the store's disk has, how far a run has
// gone, and how the latest run ended. French, marked for the catalogue; the
// caller shows them through TranslateMessage.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/LastRunOutcome.h"
#include "engine/RunProgress.h"
#include "platform/Clock.h"
#include "platform/Day.h"

namespace varnoket {

// When the daily backup starts next, given the station's last backup date
// (none counts as long ago), the configured time, and whether today's automatic run is
// held (the person stopped today's run):
//   "Prochaine sauvegarde : aujourd'hui à 13:00"
//   "Prochaine sauvegarde : demain à 13:00"
//   "Prochaine sauvegarde : à la prochaine vérification (toutes les 10 minutes)"
std::string NextBackupText(const LocalDateTime& now, const std::optional<Day>& lastBackupDate,
                           int hour, int minute, bool heldToday);

// "Espace libre sur le disque des sauvegardes : 12,3 Go", or that it is not
// known (the disk is absent, or the folder cannot be asked).
std::string FreeSpaceText(std::optional<uint64_t> freeBytes);

// "Fichier 3 sur 7 : 35,2 Mo sur 1,2 Go"
std::string RunProgressText(const RunProgress& progress);
// "Sauvegarde en cours : 42 %" (the tray's tooltip and menu during a run).
std::string RunPercentText(const RunProgress& progress);

// A log line's "dd/mm/yyyy hh:mm:ss" in the screen's form (ShownDateTime);
// a text of another form is given back as it is.
std::string ShownLogTime(const std::string& when);

// How the latest run ended, as a sentence's end ("terminée le ...").
std::string LastRunText(const LastRunOutcome& run, const std::string& logPath);

}  // namespace varnoket
