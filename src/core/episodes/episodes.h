#pragma once
// The series side of playback: the previous/next buttons, the search for the next
// episode while an item plays (with its retry, Timer4), and what happens at the end
// of an item when the hidden view Web2 is sent to the next-episode marker.
#include <string>

#include "core/base/config.h"
#include "core/episodes/episode_request.h"
#include "core/forms/link_router.h"
#include "core/player/episode_service.h"
#include "core/base/endpoints.h"
#include "core/base/program_folder.h"
#include "core/forms/form.h"
#include "core/shell/tray_icon.h"
#include "core/state/program_state.h"
#include "platform/view_navigator.h"

namespace tavlin::episodes {

// What the series side uses of the window: its balloons and two of its timers.
struct EpisodesWindow {
  shell::TrayIcon& tray;
  forms::Timer& poll;   // Timer1, the status poll, restarted at the end of an item
  forms::Timer& retry;  // Timer4, the next episode asked again after a failure
};

class Episodes final : public player::EpisodeService, public forms::LinkHandler {
 public:
  Episodes(ProgramFolder folder, Portal portal, EpisodesWindow window, ViewNavigator& views, state::ProgramState& state,
           EpisodeRequests& requests);

  // The end-of-playback marker, which only the program sends.
  void RouteLinks(forms::LinkRouter& router);

  void ResolveNextEpisode() override;
  void StepEpisode(int direction) override;
  void Timer4_Timer();

  // Web2's before-navigate handling of the marker.
  void BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) override;

 private:
  bool AutomaticSetting(IniKey key) const;

  ProgramFolder folder_;
  Portal portal_;
  EpisodesWindow window_;
  ViewNavigator& views_;
  state::EpisodeState& episodes_;
  EpisodeRequests& requests_;
};

}  // namespace tavlin::episodes
