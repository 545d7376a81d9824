#pragma once
// The series side of playback: the previous/next buttons, the search for the next
// episode while an item plays (with its retry, Timer4), and what happens at the end
// of an item when the hidden view Web2 is sent to the next-episode marker.
#include <string>

#include "core/base/config.h"
#include "core/episodes/episode_request.h"
#include "core/forms/link_router.h"
#include "core/player/episode_service.h"
#include "core/shell/ba1.h"
#include "core/state/program_state.h"

namespace tavlin::episodes {

class Episodes final : public player::EpisodeService, public forms::LinkHandler {
 public:
  Episodes(shell::BA1& main, state::ProgramState& state, EpisodeRequests& requests);

  // The end-of-playback marker, which only the program sends.
  void RouteLinks(forms::LinkRouter& router);

  void ResolveNextEpisode() override;
  void StepEpisode(int direction) override;
  void Timer4_Timer();

  // Web2's before-navigate handling of the marker.
  void BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) override;

 private:
  bool AutomaticSetting(IniKey key) const;

  shell::BA1& main_;
  state::EpisodeState& episodes_;
  EpisodeRequests& requests_;
};

}  // namespace tavlin::episodes
