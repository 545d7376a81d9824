#include "core/app/exit_routine.h"

#include "core/base/config.h"
#include "core/base/text.h"
#include "core/services/process_control.h"

namespace tavlin {

void RunExitRoutine(shell::TrayIcon& tray, const std::string& iniPath, shell::PlayerButtons& player,
                    state::ProgramState& state, const ExitPorts& ports) {
  tray.RemoveTrayIcon();

  std::string& closeQvod = state.services.CloseQvodSetting;
  closeQvod = std::to_string(ToNumber(ReadIni(iniPath, ini_keys::kCloseQvod)));
  // Stopping saves the position of the item playing into its list.
  player.StopItem();

  if (closeQvod == "2") {
    KillProcessByName(ports.processes, "QvodPlayer.exe");
    KillProcessByName(ports.processes, "QvodTerminal.exe");
    PurgeDeadTrayIcons();
  }
  // Portal requests are made synchronously, so none can still be running here.

  // "1****address****...": the switch, then the page; anything after is not the page.
  const std::vector<std::string> exitPage = Split(state.update.ExitPageSpec, "****");
  // The page comes from the portal's file: only a web page goes to the desktop.
  if (exitPage.size() >= 2 && exitPage[0] == "1" && IsWebAddress(exitPage[1])) ports.shell.OpenUrl(exitPage[1]);
  ports.application.Quit();
}

}  // namespace tavlin
