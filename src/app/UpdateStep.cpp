#include "app/UpdateStep.h"

#include "platform/ProgramPath.h"

namespace varnoket {

UpdateStep::UpdateStep(FileSystem& fs, const Clock& clock, UpdateHost& host,
                       const UpdateStepSetup& setup)
    : env_(fs, clock, host), masterStation_(setup.masterStation), installed_(setup.installed) {
  env_.programPath = setup.programPath;
  env_.programFolder = ProgramFolderOf(setup.programPath);
  if (!setup.updateUrl.empty()) {
    env_.versionUrl = setup.updateUrl;
    env_.publicKeyHex = setup.publicKeyHex;
  }
  state_.currentVersion = setup.currentVersion;
}

UpdateTickResult UpdateStep::Run() {
  if (installed_) return UpdateTickResult::kGoOn;
  return RunUpdateTick(env_, state_, masterStation_);
}

}  // namespace varnoket
