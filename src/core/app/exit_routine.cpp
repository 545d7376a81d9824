#include "core/app/exit_routine.h"

#include "core/base/config.h"
#include "core/base/text.h"
#include "core/services/process_control.h"

namespace tavlin {

void RunExitRoutine(shell::BA1& main, const ExitPorts& ports) {
  if (ports.removeTrayIcon) ports.removeTrayIcon();

  main.CloseQvodSetting = std::to_string(ToNumber(ReadIni(main.IniPath, "S_q", "qvodk")));
  // Stopping saves the position of the item playing into its list.
  main.bo_but_Click(1);

  if (main.CloseQvodSetting == "2" && ports.processes) {
    KillProcessByName(*ports.processes, "QvodPlayer.exe");
    KillProcessByName(*ports.processes, "QvodTerminal.exe");
    PurgeDeadTrayIcons();
  }
  // Portal requests are made synchronously, so none can still be running here.

  const size_t mark = main.ExitPageSpec.find("****");
  if (mark != std::string::npos && main.ExitPageSpec.substr(0, mark) == "1" && ports.shell) {
    ports.shell->OpenUrl(main.ExitPageSpec.substr(mark + 4));
  }
  if (ports.unloadForms) ports.unloadForms();
}

}  // namespace tavlin
