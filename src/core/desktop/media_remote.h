#pragma once
// The desktop's remote control of the player (media keys, the panel's player
// controls): what it may show of the item playing, and what its commands do. Every
// command goes through the handler of the button or key it stands for, so the
// window shows the same as after a click.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/desktop/seek_watch.h"
#include "core/instance/instance.h"
#include "core/player/player.h"
#include "core/base/endpoints.h"
#include "core/shell/seams.h"
#include "core/shell/window_parts.h"
#include "core/state/program_state.h"
#include "platform/player_control.h"

namespace tavlin::desktop {

// The remote's view of the player; times in microseconds as the desktop counts them.
struct MediaStatus {
  std::string playbackStatus = "Stopped";  // "Playing", "Paused" or "Stopped"
  std::string trackId;                     // an object path naming the item
  std::string title;
  std::string url;  // an address the desktop can open, or none
  int64_t lengthUs = 0;
  int64_t positionUs = 0;
  double volume = 1.0;  // 0 to 1
  bool canGoNext = false;
  bool canGoPrevious = false;
  bool canPlay = false;
  bool canSeek = false;
};

inline constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

class MediaRemote {
 public:
  MediaRemote(Portal portal, shell::WindowFront& window, const shell::PlayerTitle& title,
              const state::ProgramState& state, player::Player& player, instance::Instance& instance,
              shell::ProgramExit& exit, SeekWatch& seeks);

  // Reads the player and the window again; returns the names of the properties
  // that changed since the last call (the position, which moves all the time, is
  // never among them: a jump is reported by TakeSeek()). A new item's description
  // changes once, when the player knows it, not piece by piece while it opens.
  std::vector<std::string> Refresh();
  const MediaStatus& status() const { return status_; }
  // Where the position jumped to (microseconds) since the last call, if it did:
  // seeks from the window, the keys, the resume or the remote alike.
  std::optional<int64_t> TakeSeek();
  // The position now, read from the player rather than from the last refresh.
  int64_t PositionNowUs() const;

  // --- commands ---
  void PlayPause();
  void Play();
  void Pause();
  void Stop();
  void Next();
  void Previous();
  void Seek(int64_t offsetUs);
  // Ignored unless trackId names the item playing, as the desktop expects.
  void SetPosition(const std::string& trackId, int64_t positionUs);
  void SetVolume(double volume);
  // A local file, played as a second start's command line would be.
  void OpenFile(const std::string& path);
  void Raise();
  void Quit();

 private:
  MediaStatus Read() const;
  bool Playing() const;
  bool ItemSettled() const;
  std::string ItemAddress() const;
  std::string TrackId() const;

  Portal portal_;
  shell::WindowFront& window_;
  const shell::PlayerTitle& title_;
  const state::ProgramState& state_;
  player::Player& player_;
  instance::Instance& instance_;
  shell::ProgramExit& exit_;
  SeekWatch& seeks_;
  PlayerControl* control_;
  MediaStatus status_;
  // Items get a new number whenever another one is loaded.
  std::string lastUrl_;
  int trackNumber_ = 0;
};

}  // namespace tavlin::desktop
