#include "core/app/start_sequence.h"

#include <memory>

namespace tavlin {
namespace {
constexpr const char* kPlayerCannotStart = "the player cannot start";
}  // namespace

StartOutcome RunStartSequence(StartSteps& steps, bool with_file) {
  // With a media file the film comes first: the web engine starts when the first
  // page is let through (HoldPagesForFirstFrame), or at the first page at once.
  if (!with_file) steps.StartWebEngine();
  steps.MakePlayer();
  if (with_file && !steps.StartPlayer()) steps.Log(kPlayerCannotStart);
  if (!steps.MakeWindows()) return StartOutcome::kCannotGoOn;
  if (with_file && steps.PlayerHasPicture()) steps.HoldPagesForFirstFrame(kPagesWaitForPictureMs);
  steps.ShowWindow();
  if (!with_file) {
    // Whichever comes first, the first page or the fallback, starts the player.
    auto started = std::make_shared<bool>(false);
    auto start_player = [&steps, started] {
      if (*started) return;
      *started = true;
      steps.StartPlayerInBackground([&steps](bool ok) {
        if (!ok) steps.Log(kPlayerCannotStart);
      });
    };
    steps.AfterFirstPage(start_player);
    steps.After(kPlayerStartsAtLatestMs, start_player);
  }
  steps.DeliverHandOffs();
  return StartOutcome::kRun;
}

}  // namespace tavlin
