#pragma once
// What the player asks of the portal side about the series an item belongs to: the
// previous/next buttons and the automatic search for the next episode. The portal
// subsystem implements it; without one these requests do nothing.
#include <string>

namespace tavlin::player {

// Address that the end-of-playback handling sends the hidden view Web2 to; the
// portal side recognises it by its start and cancels the navigation. Were nobody to
// intercept it, the view would only show a blank page.
inline constexpr const char* kNextEpisodeMarker = "about:blank#tavlin-next-episode";

class EpisodeService {
 public:
  virtual ~EpisodeService() = default;
  // direction 1: previous episode, 2: next episode. Blocks while the portal answers.
  virtual void StepEpisode(int direction) = 0;
  // Fills NextEpisodeUrl / NextEpisodePage of the main window, or arms the retry.
  virtual void ResolveNextEpisode() = 0;
};

}  // namespace tavlin::player
