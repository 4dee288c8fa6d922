#include "engine/RunCommands.h"

#include "engine/BackupContext.h"
#include "platform/MessageText.h"
#include "platform/ShellCommand.h"
#include "platform/Translation.h"

namespace varnoket {

namespace {

// What differs between the two commands: the words of the log.
struct CommandTexts {
  const char* started;
  const char* linePrefix;
  const char* linesLeftOut;
  const char* done;
  const char* failedWithCode;
  const char* notExecutable;
  const char* notFound;
  const char* timedOut;
  const char* signaled;
  const char* notStarted;
  const char* stopped;
};

constexpr CommandTexts kBefore{
    VK_TR_NOOP("Messages", "Commande avant la sauvegarde : %s"),
    "[avant] ",
    VK_TR_NOOP("Messages", "[avant] ... et %s ligne(s) de plus, non journalisées."),
    VK_TR_NOOP("Messages", "La commande avant la sauvegarde a fini sans erreur."),
    VK_TR_NOOP("Messages",
               "ERREUR: la commande avant la sauvegarde a échoué (code %s) : la sauvegarde n'a "
               "pas lieu."),
    VK_TR_NOOP("Messages",
               "ERREUR: la commande avant la sauvegarde n'est pas exécutable (code 126) : la "
               "sauvegarde n'a pas lieu."),
    VK_TR_NOOP("Messages",
               "ERREUR: la commande avant la sauvegarde est introuvable (code 127) : la "
               "sauvegarde n'a pas lieu."),
    VK_TR_NOOP("Messages",
               "ERREUR: la commande avant la sauvegarde n'avait pas fini après %s minute(s) : "
               "elle a été arrêtée et la sauvegarde n'a pas lieu."),
    VK_TR_NOOP("Messages",
               "ERREUR: la commande avant la sauvegarde a été arrêtée par le signal %s : la "
               "sauvegarde n'a pas lieu."),
    VK_TR_NOOP("Messages",
               "ERREUR: la commande avant la sauvegarde n'a pas pu être lancée (%s) : la "
               "sauvegarde n'a pas lieu."),
    VK_TR_NOOP("Messages", "La commande avant la sauvegarde a été arrêtée."),
};

constexpr CommandTexts kAfter{
    VK_TR_NOOP("Messages", "Commande après la sauvegarde : %s"),
    "[après] ",
    VK_TR_NOOP("Messages", "[après] ... et %s ligne(s) de plus, non journalisées."),
    VK_TR_NOOP("Messages", "La commande après la sauvegarde a fini sans erreur."),
    VK_TR_NOOP("Messages", "ERREUR: la commande après la sauvegarde a échoué (code %s)."),
    VK_TR_NOOP("Messages",
               "ERREUR: la commande après la sauvegarde n'est pas exécutable (code 126)."),
    VK_TR_NOOP("Messages", "ERREUR: la commande après la sauvegarde est introuvable (code 127)."),
    VK_TR_NOOP("Messages",
               "ERREUR: la commande après la sauvegarde n'avait pas fini après %s minute(s) : "
               "elle a été arrêtée."),
    VK_TR_NOOP("Messages",
               "ERREUR: la commande après la sauvegarde a été arrêtée par le signal %s."),
    VK_TR_NOOP("Messages", "ERREUR: la commande après la sauvegarde n'a pas pu être lancée (%s)."),
    VK_TR_NOOP("Messages", "ERREUR: la commande après la sauvegarde a été arrêtée."),
};

// The message of a command that did not end well; "" when it did.
std::string FailureText(const CommandTexts& texts, const ShellCommandResult& result, int minutes) {
  switch (result.end) {
    case ShellCommandEnd::kExited:
      if (result.exitCode == 0) return {};
      if (result.exitCode == 126) return texts.notExecutable;
      if (result.exitCode == 127) return texts.notFound;
      return FillText(texts.failedWithCode, {std::to_string(result.exitCode)});
    case ShellCommandEnd::kSignaled:
      return FillText(texts.signaled, {std::to_string(result.signal)});
    case ShellCommandEnd::kTimedOut:
      return FillText(texts.timedOut, {std::to_string(minutes)});
    case ShellCommandEnd::kStopped:
      return texts.stopped;
    case ShellCommandEnd::kNotStarted:
      return FillText(texts.notStarted, {result.startError});
  }
  return {};
}

// Runs one command with its output in the log; what RunShellCommand found.
ShellCommandResult RunLogged(BackupContext& ctx, const CommandTexts& texts,
                             const std::string& command, int minutes, ShellEnvironment env,
                             const std::function<bool()>& stop) {
  const StoreLayout layout = ctx.Layout();
  env.emplace_back("VARNOKET_STORE", ctx.backupRoot);
  env.emplace_back("VARNOKET_STATION", ctx.stationName);
  env.emplace_back("VARNOKET_LOG", layout.LogPath());
  ctx.Log(FillText(texts.started, {command}));
  ShellCommandLimits limits;
  limits.timeLimit = std::chrono::minutes(minutes);
  // Every line is marked as the command's, so nothing it prints can pass
  // for one of the run's own lines when the log is read back.
  const ShellCommandResult result = RunShellCommand(
      command, env, limits, [&](const std::string& line) { ctx.Log(texts.linePrefix + line); },
      stop);
  if (result.linesLeftOut > 0) {
    ctx.Log(FillText(texts.linesLeftOut, {std::to_string(result.linesLeftOut)}));
  }
  return result;
}

}  // namespace

const char* OutcomeWord(BackupOutcome outcome) {
  switch (outcome) {
    case BackupOutcome::kCompleted:
      return "completed";
    case BackupOutcome::kNoChange:
      return "nochange";
    case BackupOutcome::kCompletedWithLeftOut:
      return "leftout";
    case BackupOutcome::kNoSpace:
      return "nospace";
    case BackupOutcome::kStopped:
      return "stopped";
    case BackupOutcome::kCancelled:
      return "cancelled";
    default:
      return "failed";
  }
}

bool RunBeforeCommand(BackupContext& ctx) {
  if (ctx.commands.before.empty()) return true;
  const ShellCommandResult result =
      RunLogged(ctx, kBefore, ctx.commands.before, ctx.commands.beforeMinutes,
                {{"VARNOKET_WHEN", "before"}}, [&ctx] {
                  ctx.host.ProcessMessages();
                  return ctx.host.StopRequested();
                });
  if (result.end == ShellCommandEnd::kStopped) {
    ctx.Log(kBefore.stopped);
    throw RunStopped();
  }
  const std::string failure = FailureText(kBefore, result, ctx.commands.beforeMinutes);
  if (failure.empty()) {
    ctx.Log(kBefore.done);
    return true;
  }
  ctx.refusal = failure;
  ctx.beforeCommandFailed = true;
  ctx.ReportError(failure);
  return false;
}

bool RunAfterCommand(BackupContext& ctx, BackupOutcome outcome) {
  if (ctx.commands.after.empty()) return true;
  // A stop, the person's or the program's end, ends the backup, not what
  // comes after it: the after-command (which may start a database again)
  // runs to its end or its time limit.
  const ShellCommandResult result =
      RunLogged(ctx, kAfter, ctx.commands.after, ctx.commands.afterMinutes,
                {{"VARNOKET_WHEN", "after"}, {"VARNOKET_OUTCOME", OutcomeWord(outcome)}}, [&ctx] {
                  ctx.host.ProcessMessages();
                  return false;
                });
  const std::string failure = FailureText(kAfter, result, ctx.commands.afterMinutes);
  if (failure.empty()) {
    ctx.Log(kAfter.done);
    return true;
  }
  ctx.ReportError(failure);
  return false;
}

}  // namespace varnoket
