#pragma once
// The play links of the portal: eebovod:// (an episode the portal resolves first)
// and eeqvod:// (an address to play), carried out in the portal view Web1. The
// episode page beside the player (Web5) hands its play links to Web1.
#include <string>

#include "core/episodes/episode_request.h"
#include "core/forms/link_router.h"
#include "core/player/player.h"
#include "core/base/endpoints.h"
#include "core/base/program_folder.h"
#include "core/base/write_failures.h"
#include "core/shell/tray_icon.h"
#include "core/shell/window_parts.h"
#include "core/state/program_state.h"
#include "platform/processes.h"
#include "platform/view_navigator.h"

namespace tavlin::links {

// What a play link changes on the window.
struct LinksWindow {
  shell::StatusLine& status;
  shell::PlayerTitle& title;
  shell::ViewSwitch& views;
  shell::TrayIcon& tray;
  WriteFailures& writeFailures;
};

struct LinksPorts {
  ViewNavigator& navigator;  // the portal view, the episode page, the page player
  Processes& processes;
};

class Links final : public forms::LinkHandler {
 public:
  Links(ProgramFolder folder, Portal portal, LinksWindow window, state::ProgramState& state, player::Player& player,
        episodes::EpisodeRequests& requests, LinksPorts ports);

  void RouteLinks(forms::LinkRouter& router);
  void BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) override;

 private:
  void Resolve(const std::string& address);
  void Play(const std::string& address);
  void StartQvodTerminal();
  void AddToHistory(const std::string& id, const std::string& title, const std::string& episode,
                    const std::string& address, const std::string& source, const std::string& index);

  ProgramFolder folder_;
  Portal portal_;
  LinksWindow window_;
  state::ProgramState& state_;
  player::Player& player_;
  episodes::EpisodeRequests& requests_;
  LinksPorts ports_;
  bool resolving_ = false;
};

// The text after every copy of mark is removed, and one trailing "/" (which a
// browser may append).
std::string LinkBody(const std::string& address, const std::string& mark);

}  // namespace tavlin::links
