#pragma once
// The program's one orderly way out: the close button set to quit, the tray menu's
// exit item and the updater all end here.
#include <functional>

#include "core/shell/ba1.h"
#include "platform/processes.h"
#include "platform/shell.h"

namespace tavlin {

struct ExitPorts {
  Processes* processes = nullptr;
  Shell* shell = nullptr;
  std::function<void()> removeTrayIcon;
  // Unloads the forms (menus, ad window, settings, main window) and so ends the program.
  std::function<void()> unloadForms;
};

// ttt_v: saves the playing position, ends the player's helper processes when the
// settings say so, opens an announced exit page, and unloads every form.
void RunExitRoutine(shell::BA1& main, const ExitPorts& ports);

}  // namespace tavlin
