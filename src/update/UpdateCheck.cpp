#include "update/UpdateCheck.h"

#include <algorithm>
#include <vector>

#include "platform/Day.h"
#include "platform/InstanceLock.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Translation.h"
#include "update/ExecutableTest.h"
#include "update/Signature.h"
#include "update/VersionFile.h"

namespace varnoket {

namespace {

constexpr const char* kBadVersionFile =
    VK_TR_NOOP("Messages", "Le fichier de version téléchargé est incorrect !");
constexpr const char* kNoDownloadFolder =
    VK_TR_NOOP("Messages", "Impossible de créer le répertoire temporaire (%s).");
constexpr const char* kDownloadFailed =
    VK_TR_NOOP("Messages", "Impossible de télécharger (%s). Mise à jour interrompue !");
constexpr const char* kNotExecutable = VK_TR_NOOP(
    "Messages",
    "Le premier fichier de la mise à jour téléchargé n'est pas un exécutable. Mise à jour "
    "interrompue !");
constexpr const char* kBadSignature = VK_TR_NOOP(
    "Messages",
    "La signature de la mise à jour téléchargée est incorrecte. Mise à jour interrompue !");
constexpr const char* kStartFailed = VK_TR_NOOP(
    "Messages", "Impossible de lancer la mise à jour téléchargée (%s). Mise à jour interrompue !");

constexpr uint32_t kProgramMode = 0755;

// "upload/_FILE1.exe", then "upload/_FILE2", "upload/_FILE3" ...: only the
// program carries an extension.
std::string DownloadFileName(const std::string& folder, size_t k) {
  return folder + "/_FILE" + std::to_string(k) + (k == 1 ? ".exe" : "");
}

class Attempt {
 public:
  Attempt(UpdateEnv& env, UpdateState& state, int today)
      : env_(env), state_(state), today_(today) {}

  UpdateTickResult Run();

 private:
  // The attempt is over for today; the tick goes on.
  UpdateTickResult End() {
    state_.lastUpdateCheck = today_;
    SetTray(0);
    return UpdateTickResult::kGoOn;
  }
  // The attempt is over for today and its message is shown; the tick stops
  // with the timer running again.
  UpdateTickResult Fail(const std::string& message) {
    env_.host.ShowError(message);
    env_.host.StartTimer();
    state_.lastUpdateCheck = today_;
    SetTray(0);
    return UpdateTickResult::kStopTick;
  }
  void SetTray(int image) { env_.host.SetTrayImage(image); }
  bool Fetch(const std::string& url, const std::string& fileName, bool binary) {
    return env_.host.Fetch(url, fileName, binary);
  }

  UpdateEnv& env_;
  UpdateState& state_;
  int today_;
};

UpdateTickResult Attempt::Run() {
  SetTray(1);
  const std::string versionFile = JoinPath(env_.programFolder, kVersionFileName);
  std::string versionText;
  if (Fetch(env_.versionUrl, versionFile, false))
    versionText = env_.fs.ReadFile(versionFile).value_or(std::string());
  env_.fs.DeleteFile(versionFile);
  // A failed version download says nothing: the server may be down today.
  if (versionText.empty()) return End();

  std::vector<std::string> lines = SplitVersionLines(versionText);
  if (lines.size() < 2) return Fail(kBadVersionFile);
  std::replace(state_.currentVersion.begin(), state_.currentVersion.end(), ',', '.');
  lines[0] = NormalizeVersion(lines[0]);
  if (lines[0] == state_.currentVersion) return End();

  // Without a usable key no download could ever be trusted; fetching the
  // files would only waste the line.
  if (!IsUsablePublicKey(env_.publicKeyHex)) return Fail(kBadSignature);

  const std::string folder = JoinPath(env_.programFolder, kDownloadFolderName);
  // A file of that name in the way counts as a missing folder.
  if (!env_.fs.IsDirectory(folder)) env_.fs.CreateDirectories(folder);
  if (!env_.fs.IsDirectory(folder)) return Fail(FillText(kNoDownloadFolder, {folder}));

  for (size_t k = 1; k < lines.size(); ++k) {
    env_.host.ProcessMessages();
    const std::string& url = lines[k];
    const std::string fileName = DownloadFileName(folder, k);
    if (!Fetch(url, fileName, true)) return Fail(FillText(kDownloadFailed, {url}));
    // Each file travels with its maker's signature; nothing unsigned or
    // altered on the way is ever run.
    const std::string signatureName = fileName + ".sig";
    if (!Fetch(url + ".sig", signatureName, true)) return Fail(kBadSignature);
    if (!VerifyFileSignature(fileName, signatureName, env_.publicKeyHex))
      return Fail(kBadSignature);
  }

  const std::string program = DownloadFileName(folder, 1);
  if (!IsExecutableProgram(program)) return Fail(kNotExecutable);
  // A downloaded file carries no execute permission.
  if (!env_.fs.SetAttributes(program, kProgramMode) || !env_.host.StartProgram(program, true))
    return Fail(FillText(kStartFailed, {program}));
  env_.host.EndProcess();
  return UpdateTickResult::kProcessEnded;
}

}  // namespace

int UpdateCheckDay(const LocalDateTime& t) {
  // Counted from 30 December 1899, as the recorded day of the last check is.
  return static_cast<int>(DayNumber(DayOf(t)) - DayNumber(Day{30, 12, 1899}));
}

UpdateTickResult RunUpdateTick(UpdateEnv& env, UpdateState& state, bool masterStation) {
  const int today = UpdateCheckDay(env.clock.Now());

  // Step A: a copy run from the network hands over while the machine that
  // owns the folder puts an update in place.
  if (today > state.lastUpdateCheck && !masterStation &&
      RoleOf(env.programPath) != ProgramRole::kUpdate &&
      env.fs.Exists(JoinPath(env.programFolder, kExchangeFileName))) {
    const std::string program =
        JoinPath(JoinPath(env.programFolder, kDownloadFolderName), kDownloadedProgramName);
    // Ending without a successor would leave this station without backups;
    // the next tick tries again while the exchange file is there.
    if (env.host.StartProgram(program, true)) {
      env.host.EndProcess();
      return UpdateTickResult::kProcessEnded;
    }
  }

  // Step B: the version check, once a day, on line, on the owning copy only.
  if (!env.host.IsOnline()) return UpdateTickResult::kGoOn;
  if (today <= state.lastUpdateCheck || !masterStation) return UpdateTickResult::kGoOn;
  return Attempt(env, state, today).Run();
}

}  // namespace varnoket
