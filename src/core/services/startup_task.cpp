#include "core/services/startup_task.h"

#include "core/base/config.h"
#include "core/base/text.h"
#include "core/services/process_control.h"

namespace tavlin::services {

StartupTask::StartupTask(ProgramFolder folder, forms::Timer& timer, state::ServiceState& state, Processes& processes,
                         Application& application, WriteFailures& failures)
    : folder_(std::move(folder)),
      timer_(timer),
      state_(state),
      processes_(processes),
      application_(application),
      failures_(failures) {
  timer_.onTick = [this] { Timer3_Timer(); };
}

void StartupTask::Timer3_Timer() {
  timer_.SetEnabled(false);
  const std::string ini = folder_.IniPath();
  std::string& qvodFolder = state_.QvodFolder;
  std::string terminalPath;
  if (ReadIni(ini, ini_keys::kQvodAtStart) != "1") {
    for (const auto& path : KillProcessesByName(processes_, "QvodPlayer.exe")) qvodFolder = path;
    qvodFolder = ReplaceAll(qvodFolder, "QvodPlayer.exe", "");
    auto terminals = FindProcessesByName(processes_, "QvodTerminal.exe");
    for (const auto& p : terminals) terminalPath = p.executablePath;
    PurgeDeadTrayIcons();
    // Only from a known folder: a bare name would start whatever program of that
    // name the working directory happens to hold.
    if (terminals.empty() && !qvodFolder.empty()) {
      application_.PumpEvents();
      processes_.StartDetached(qvodFolder + "QvodTerminal.exe", {}, tavlin::WindowState::MinimizedWithFocus);
    }
  }
  if (qvodFolder.empty() && !terminalPath.empty()) qvodFolder = ReplaceAll(terminalPath, "QvodTerminal.exe", "");
  if (!qvodFolder.empty() && !WriteIni(ini, ini_keys::kQvodFolder, qvodFolder)) failures_.WriteFailed(ini);
}

}  // namespace tavlin::services
