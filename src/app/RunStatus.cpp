#include "app/RunStatus.h"

#include <cstdio>
#include <string_view>

#include "engine/Scheduler.h"
#include "platform/Day.h"
#include "platform/DecimalText.h"
#include "platform/MessageText.h"
#include "platform/ShownFormat.h"
#include "platform/Translation.h"

namespace varnoket {

namespace {

constexpr const char* kNextToday =
    VK_TR_NOOP("Messages", "Prochaine sauvegarde : aujourd'hui à %s");
constexpr const char* kNextTomorrow = VK_TR_NOOP("Messages", "Prochaine sauvegarde : demain à %s");
constexpr const char* kNextCheck = VK_TR_NOOP(
    "Messages", "Prochaine sauvegarde : à la prochaine vérification (toutes les 10 minutes)");
constexpr const char* kFreeSpace =
    VK_TR_NOOP("Messages", "Espace libre sur le disque des sauvegardes : %s");
constexpr const char* kFreeSpaceUnknown =
    VK_TR_NOOP("Messages", "Espace libre sur le disque des sauvegardes : inconnu");
constexpr const char* kProgress = VK_TR_NOOP("Messages", "Fichier %s sur %s : %s sur %s");
constexpr const char* kPercent = VK_TR_NOOP("Messages", "Sauvegarde en cours : %s %");

constexpr const char* kNoRun = VK_TR_NOOP("Messages", "aucune pour l'instant");
constexpr const char* kCompleted = VK_TR_NOOP("Messages", "terminée le %s");
constexpr const char* kCompletedWithErrors =
    VK_TR_NOOP("Messages", "terminée le %s, avec une erreur : %s");
constexpr const char* kLeftOut = VK_TR_NOOP("Messages", "terminée le %s, incomplète : %s");
constexpr const char* kNoChange = VK_TR_NOOP("Messages", "terminée le %s, aucune modification");
constexpr const char* kFailed = VK_TR_NOOP("Messages", "échouée le %s : %s");
constexpr const char* kFailedNoReason =
    VK_TR_NOOP("Messages", "échouée le %s (voir le journal %s)");
constexpr const char* kStopped =
    VK_TR_NOOP("Messages", "interrompue le %s (le programme s'est terminé)");
constexpr const char* kCancelled =
    VK_TR_NOOP("Messages", "arrêtée le %s à la demande de l'utilisateur");
constexpr const char* kUnfinished = VK_TR_NOOP(
    "Messages",
    "commencée, sans fin écrite (dernière ligne du %s) : en cours, ou arrêtée brutalement");

std::string TimeText(int hour, int minute) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
  return text;
}

std::string Shown(int64_t bytes) {
  return ByteSizeText(bytes, SizeStyle::kShort);
}

}  // namespace

std::string NextBackupText(const LocalDateTime& now, const std::optional<Day>& lastBackupDate,
                           int hour, int minute, bool heldToday) {
  const std::string at = TimeText(hour, minute);
  if (heldToday || !IsTodayAfter(now, lastBackupDate)) return FillText(kNextTomorrow, {at});
  if (now.hour * 60 + now.minute < hour * 60 + minute) return FillText(kNextToday, {at});
  return kNextCheck;
}

std::string FreeSpaceText(std::optional<uint64_t> freeBytes) {
  return freeBytes ? FillText(kFreeSpace, {Shown(static_cast<int64_t>(*freeBytes))})
                   : kFreeSpaceUnknown;
}

std::string RunProgressText(const RunProgress& progress) {
  return FillText(
      kProgress,
      {std::to_string(progress.filesDone + (progress.currentFile.empty() ? 0 : 1)),
       std::to_string(progress.filesTotal), Shown(progress.bytesDone), Shown(progress.bytesTotal)});
}

std::string RunPercentText(const RunProgress& progress) {
  return FillText(kPercent, {std::to_string(progress.Percent())});
}

std::string ShownLogTime(const std::string& when) {
  const size_t blank = when.find(' ');
  Day day;
  if (blank == std::string::npos || !ParseDayText(when.substr(0, blank), day)) return when;
  const std::string_view time = std::string_view(when).substr(blank + 1);
  if (time.size() != 8 || time[2] != ':' || time[5] != ':') return when;
  const auto hour = ParseDecimal<unsigned>(time.substr(0, 2));
  const auto minute = ParseDecimal<unsigned>(time.substr(3, 2));
  const auto second = ParseDecimal<unsigned>(time.substr(6, 2));
  if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) return when;
  LocalDateTime t = StartOf(day);
  t.hour = static_cast<int>(*hour);
  t.minute = static_cast<int>(*minute);
  t.second = static_cast<int>(*second);
  return ShownDateTime(t);
}

std::string LastRunText(const LastRunOutcome& run, const std::string& logPath) {
  const auto tr = [](const char* text) { return Translate(kMessagesContext, text); };
  switch (run.state) {
    case LastRunState::kNoLog:
      return tr(kNoRun);
    case LastRunState::kCompleted:
      return run.error.empty() ? FillText(tr(kCompleted), {run.when})
                               : FillText(tr(kCompletedWithErrors), {run.when, run.error});
    case LastRunState::kLeftOut:
      return FillText(tr(kLeftOut), {run.when, run.leftOut});
    case LastRunState::kNoChange:
      return FillText(tr(kNoChange), {run.when});
    case LastRunState::kFailed:
      return run.error.empty() ? FillText(tr(kFailedNoReason), {run.when, logPath})
                               : FillText(tr(kFailed), {run.when, run.error});
    case LastRunState::kStopped:
      return FillText(tr(kStopped), {run.when});
    case LastRunState::kCancelled:
      return FillText(tr(kCancelled), {run.when});
    case LastRunState::kUnfinished:
      return FillText(tr(kUnfinished), {run.when});
  }
  return {};
}

}  // namespace varnoket
