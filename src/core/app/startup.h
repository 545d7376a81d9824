#pragma once
// The entry routine: everything that happens before the main window exists.
#include <string>

#include "platform/log.h"
#include "core/base/program_folder.h"
#include "core/instance/hand_off.h"
#include "platform/dialogs.h"
#include "platform/instance_channel.h"
#include "platform/machine.h"
#include "platform/player_control.h"
#include "platform/shell.h"
#include "platform/view_navigator.h"

namespace tavlin {

// Where a user gets the playback engine when it is missing.
inline constexpr const char* kPlayerDownloadSite = "https://mpv.io/installation/";

struct StartupPorts {
  PlayerFactory& player;
  Dialogs& dialogs;
  Shell& shell;
  MachineInfo& machine;
  Log& log;
  ViewNavigator* views = nullptr;        // the list views, when they exist already
  InstanceChannel* instance = nullptr;   // none: every start runs on its own
  instance::Activation activation = {};  // handed over with the command line
};

enum class StartupResult { ShowMainWindow, Quit, HandedOver };

// Tests that a player can be created (offering the download and quitting when not),
// creates or repairs config.ini, creates the missing list files and list pages; then,
// where the main window would load, hands the command line to an instance already
// running and ends.
StartupResult RunMain(const ProgramFolder& folder, StartupPorts& ports, const std::string& commandLine = "");

}  // namespace tavlin
