#include "core/app/program.h"

#include "core/app/exit_routine.h"
#include "core/base/files.h"
#include "core/player/player_settings.h"

namespace tavlin {

Program::Program(ProgramFolder folder, Portal portal, ProgramPorts ports)
    : folder_(std::move(folder)),
      portal_(std::move(portal)),
      ports_(ports),
      links_(ports.clock),
      seekWatch_(ports.player),
      ba1_(folder_, portal_, state_,
           {ports.window, ports.screen, ports.dialogs, ports.menus, ports.tray, links_, ports.log, ports.clock,
            ports.text},
           {player_, *this}),
      player_(folder_, ba1_.ControlsOfPlayer(),
              {ba1_, ba1_, ba1_.status, ba1_.title, ba1_.trayIcon, ba1_.saveFailures, ba1_.IniPath}, state_,
              {seekWatch_.control(), ports.dialogs, ports.power, ports.application, episodes_, ports.menus, links_}),
      episodeRequests_(ports.http, portal_),
      episodes_(folder_, portal_, {ba1_.trayIcon, ba1_.Timer1, ba1_.Timer4}, links_, state_, episodeRequests_),
      playLinks_(folder_, portal_, {ba1_.status, ba1_.title, ba1_, ba1_.trayIcon, ba1_.saveFailures}, state_, player_,
                 episodeRequests_, {links_, ports.processes}),
      listCommands_(folder_, portal_, {ba1_, ba1_.title, ba1_, ba1_, ba1_.trayIcon, ba1_.saveFailures}, state_, player_,
                    links_, {ports.processes, ports.shell, ports.dialogs, ports.menus}),
      tip_(portal_, {ba1_, ba1_, ba1_.shutdownButton}, *this, ports.shell, links_, listCommands_, *this),
      startupTask_(folder_, ba1_.Timer3, state_.services, ports.processes, ports.application, ba1_.saveFailures),
      instance_(ba1_, ba1_.Timer3, player_),
      pages_(portal_, ba1_, state_.episodes, ports.shell, ports.menus),
      ba3_(folder_, player::HomeSavePath(), {ports.dialogs, ports.processes, ports.player, ba1_.saveFailures}),
      update_(folder_, portal_, {ba1_, ba1_, ba1_.Timer5, ba1_.Timer7, ba1_.Timer8}, state_,
              {ports.http, ports.dialogs, ports.shell, ports.processes}, *this),
      adsb_(portal_, ba1_.Timer8, {ports.screen, ports.shell}),
      remote_(portal_, ba1_, ba1_.title, state_, player_, instance_, *this, seekWatch_),
      keepAwake_(ba1_.Timer2, ports.player, ports.idle) {
  links_.Trust(portal_.base, {folder_.File("c.htm"), folder_.File("f.htm")});
  ba1_.RouteInput(input_);
  player_.RouteInput(input_);
  episodes_.RouteLinks(links_);
  playLinks_.RouteLinks(links_);
  listCommands_.RouteLinks(links_);
  listCommands_.RouteInput(input_);
  pages_.Attach(links_, input_);
  update_.RouteInput(input_);
}

void Program::Start(const std::string& commandLine) {
  ba1_.Form_Load();
  tip_.Form_Load();
  if (!CanWriteIn(folder_.dir)) ba1_.saveFailures.WriteFailed(folder_.dir);
  if (ports_.player) ports_.player->SetAdPageUrl(portal_.PlayerAd());
  player_.RestoreVolume();
  if (!commandLine.empty()) player_.l_com(commandLine);
}

void Program::ttt_v() {
  RunExitRoutine(ba1_.trayIcon, ba1_.IniPath, player_, state_, {ports_.processes, ports_.shell, ports_.application});
  keepAwake_.Release();
  tip_.Unload();
  adsb_.UnloadNow();
  ba3_.Unload();
}

void Program::DescribeState(state::StateVisitor& visitor) const {
  ba1_.DescribeState(visitor);
  state::Describe(state_, visitor);
}

}  // namespace tavlin
