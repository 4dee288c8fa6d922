#include "app/UpdateRole.h"

#include <stdexcept>

#include "platform/Translation.h"

namespace varnoket {

namespace {

// "/opt/varnoket/upload/_FILE1.EXE" -> "/opt/varnoket/upload/".
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The folder above a folder written with its trailing separator:
// "/opt/varnoket/upload/" -> "/opt/varnoket/". None for the root.
std::string ParentOf(const std::string& folder) {
  if (folder.size() < 2)
    throw std::runtime_error(VK_TR_NOOP("Messages", "le chemin de l'application est incorrect !"));
  const size_t slash = folder.rfind('/', folder.size() - 2);
  if (slash == std::string::npos)
    throw std::runtime_error(VK_TR_NOOP("Messages", "le chemin de l'application est incorrect !"));
  return folder.substr(0, slash + 1);
}

}  // namespace

void RunUpdateRole(UpdateRoleEnv& env) {
  const std::string parent = ParentOf(FolderOf(env.programPath));
  const std::string installed = parent + kInstalledProgramName;
  if (!env.localDrive) {
    // A network copy: the machine that downloaded the update replaces the
    // shared program; this one waits until that is surely done.
    env.host.Sleep(env.networkWaitMs);
    env.host.Start(installed);
    return;
  }
  if (env.anotherInstanceRunning) {
    env.dialogs.Error(VK_TR_NOOP(
        "Messages",
        "Impossible d'effectuer la mise à jour l'ancien programme sur ce poste ne s'est pas "
        "arrêté correctement !"));
    return;
  }
  const std::string exchange = parent + kExchangeFileName;
  env.fs.ClearAttributes(exchange);
  try {
    env.fs.Create(exchange)->Close();
  } catch (const std::exception&) {
    env.dialogs.Error(VK_TR_NOOP(
        "Messages", "Impossible de créer le fichier d'échange ! La mise à jour a échoué."));
    return;
  }
  env.host.Sleep(env.localWaitMs);
  env.fs.DeleteFile(exchange);
  env.fs.ClearAttributes(installed);
  env.fs.CopyFile(env.programPath, installed, true);
  env.host.Start(installed);
}

}  // namespace varnoket
