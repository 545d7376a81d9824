#pragma once
// The program: builds every subsystem on the ports the platform gives it, wires
// them to each other and to the routers, and holds the program's state. Adding a
// subsystem means one member and one attach line in program.cpp.
#include <string>

#include "core/base/endpoints.h"
#include "core/base/program_folder.h"
#include "core/desktop/keep_awake.h"
#include "core/desktop/media_remote.h"
#include "core/desktop/seek_watch.h"
#include "core/forms/control_router.h"
#include "core/episodes/episode_request.h"
#include "core/episodes/episodes.h"
#include "core/forms/link_router.h"
#include "core/instance/instance.h"
#include "core/links/links.h"
#include "core/ad/adsb.h"
#include "core/list_commands/list_commands.h"
#include "core/menus/tip.h"
#include "core/pages/pages.h"
#include "core/player/player.h"
#include "core/services/startup_task.h"
#include "core/settings/ba3.h"
#include "core/shell/ba1.h"
#include "core/state/program_state.h"
#include "core/update/update.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/http_client.h"
#include "platform/idle_inhibitor.h"
#include "platform/player_control.h"
#include "platform/power.h"
#include "platform/processes.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/tray.h"

namespace tavlin {

struct ProgramPorts {
  WindowHost& window;
  Screen& screen;
  Dialogs& dialogs;
  MenuHost& menus;
  Tray& tray;
  Processes& processes;
  Shell& shell;
  Power& power;
  Application& application;
  Log& log;
  HttpClient& http;  // the portal's blocking requests
  Clock& clock;
  PlayerControl* player;              // none when no player could be made
  const TextMeasure* text = nullptr;  // none: labels are sized by the estimate
  IdleInhibitor* idle = nullptr;      // none: the screen saver is the desktop's affair
};

class Program final : public shell::ProgramExit, public menus::ProgramMenuActions {
 public:
  Program(ProgramFolder folder, Portal portal, ProgramPorts ports);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The web views the platform made for the window's view controls ("Web1"...).
  void AddView(const std::string& name, BrowserView& view) { links_.AddView(name, view); }

  // Loads the main window, reports a program folder that cannot be written, and
  // plays a file named on the command line.
  void Start(const std::string& commandLine);

  // ttt_v: the orderly exit.
  void ttt_v() override;
  // What the program menu opens.
  void ShowSettings() override { ba3_.Show(); }
  void SelectSettingsPage(int page) override { ba3_.d_z_Click(page); }
  void shengji() override { update_.shengji(); }

  shell::BA1& ba1() { return ba1_; }
  menus::Tip& tip() { return tip_; }
  settings::BA3& ba3() { return ba3_; }
  update::UpdateCheck& update() { return update_; }
  ad::Adsb& adsb() { return adsb_; }
  player::Player& player() { return player_; }
  list_commands::ListCommands& listCommands() { return listCommands_; }
  instance::Instance& instance() { return instance_; }
  desktop::MediaRemote& remote() { return remote_; }
  desktop::KeepAwake& keepAwake() { return keepAwake_; }
  forms::ControlRouter& input() { return input_; }
  forms::LinkRouter& links() { return links_; }
  state::ProgramState& state() { return state_; }
  // Every form whose timers run.
  std::vector<forms::Form*> forms() { return {&ba1_, &tip_, &ba3_, &adsb_}; }

  // The window's state and the program's, one field each, for observers.
  void DescribeState(state::StateVisitor& visitor) const;

 private:
  ProgramFolder folder_;
  Portal portal_;
  ProgramPorts ports_;
  state::ProgramState state_;
  forms::ControlRouter input_;
  forms::LinkRouter links_;
  // Before the rooms that drive the player: they get it through the watch.
  desktop::SeekWatch seekWatch_;
  shell::BA1 ba1_;
  player::Player player_;
  episodes::EpisodeRequests episodeRequests_;
  episodes::Episodes episodes_;
  links::Links playLinks_;
  list_commands::ListCommands listCommands_;
  menus::Tip tip_;
  services::StartupTask startupTask_;
  instance::Instance instance_;
  pages::Pages pages_;
  settings::BA3 ba3_;
  update::UpdateCheck update_;
  ad::Adsb adsb_;
  desktop::MediaRemote remote_;
  desktop::KeepAwake keepAwake_;
};

}  // namespace tavlin
