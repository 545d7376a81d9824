#pragma once
// The program's one orderly way out: the close button set to quit, the tray menu's
// exit item and the updater all end here.
#include <string>

#include "core/shell/seams.h"
#include "core/shell/tray_icon.h"
#include "core/state/program_state.h"
#include "platform/application.h"
#include "platform/processes.h"
#include "platform/shell.h"

namespace tavlin {

struct ExitPorts {
  Processes& processes;
  Shell& shell;
  Application& application;
};

// ttt_v: saves the playing position, ends the player's helper processes when the
// settings say so, opens an announced exit page, and unloads every form.
void RunExitRoutine(shell::TrayIcon& tray, const std::string& iniPath, shell::PlayerButtons& player,
                    state::ProgramState& state, const ExitPorts& ports);

}  // namespace tavlin
