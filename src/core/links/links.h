#pragma once
// The play links of the portal: eebovod:// (an episode the portal resolves first)
// and eeqvod:// (an address to play), carried out in the portal view Web1. The
// episode page beside the player (Web5) hands its play links to Web1.
#include <string>

#include "core/episodes/episode_request.h"
#include "core/forms/link_router.h"
#include "core/player/player.h"
#include "core/shell/ba1.h"
#include "core/state/program_state.h"
#include "platform/processes.h"

namespace tavlin::links {

class Links final : public forms::LinkHandler {
 public:
  Links(shell::BA1& main, state::ProgramState& state, player::Player& player, episodes::EpisodeRequests& requests,
        Processes& processes);

  void RouteLinks(forms::LinkRouter& router);
  void BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) override;

 private:
  void Resolve(const std::string& address);
  void Play(const std::string& address);
  void StartQvodTerminal();
  void AddToHistory(const std::string& id, const std::string& title, const std::string& episode,
                    const std::string& address, const std::string& source, const std::string& index);

  shell::BA1& main_;
  state::ProgramState& state_;
  player::Player& player_;
  episodes::EpisodeRequests& requests_;
  Processes& processes_;
  bool resolving_ = false;
};

// The text after every copy of mark is removed, and one trailing "/" (which a
// browser may append).
std::string LinkBody(const std::string& address, const std::string& mark);

}  // namespace tavlin::links
