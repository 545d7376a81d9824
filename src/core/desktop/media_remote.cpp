#include "core/desktop/media_remote.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "core/base/text.h"

namespace tavlin::desktop {

namespace {
constexpr int64_t kSecond = 1000000;

// The desktop's names for the player's states: what runs toward a picture plays.
const char* StatusName(int playState) {
  switch (playState) {
    case kStatePlaying:
    case kStateBuffering:
    case kStateWaiting:
    case kStatePreparing:
    case kStateReconnecting:
    case kStateFetchingTorrent:
    case kStateConnecting: return "Playing";
    case kStatePaused: return "Paused";
    default: return "Stopped";
  }
}

// A series episode is "id-source-index-title"; only a numeric index has neighbours.
bool EpisodeIndex(const std::string& key, int& index) {
  if (key == "0") return false;
  const std::vector<std::string> parts = Split(key, "-");
  return parts.size() >= 3 && ParseNumber(parts[2], index);
}
}  // namespace

MediaRemote::MediaRemote(shell::BA1& main, const state::ProgramState& state, player::Player& player,
                         instance::Instance& instance, shell::ProgramExit& exit, PlayerControl* control)
    : main_(main), state_(state), player_(player), instance_(instance), exit_(exit), control_(control) {
  status_ = Read();
}

MediaStatus MediaRemote::Read() const {
  MediaStatus s;
  if (!control_) return s;
  s.url = control_->Url();
  s.volume = control_->Volume() / 100.0;
  if (s.url.empty()) return s;
  s.playbackStatus = StatusName(control_->PlayState());
  s.trackId = "/org/mpris/MediaPlayer2/tavlin/track/" + std::to_string(trackNumber_);
  s.title = main_.bo_name.caption;
  s.lengthUs = int64_t{control_->Duration()} * kSecond;
  s.positionUs = int64_t{control_->Position()} * kSecond;
  s.canPlay = true;
  s.canSeek = control_->Duration() > 0;
  int index = 0;
  if (EpisodeIndex(state_.episodes.CurrentEpisodeKey, index)) {
    // "1": the portal said there is no next episode.
    s.canGoNext = state_.episodes.NextEpisodePage != "1";
    s.canGoPrevious = index > 0;
  }
  return s;
}

std::vector<std::string> MediaRemote::Refresh() {
  if (control_ && control_->Url() != lastUrl_) {
    lastUrl_ = control_->Url();
    ++trackNumber_;
  }
  const MediaStatus before = status_;
  status_ = Read();
  std::vector<std::string> changed;
  if (status_.playbackStatus != before.playbackStatus) changed.emplace_back("PlaybackStatus");
  if (status_.trackId != before.trackId || status_.title != before.title || status_.lengthUs != before.lengthUs ||
      status_.url != before.url) {
    changed.emplace_back("Metadata");
  }
  if (status_.volume != before.volume) changed.emplace_back("Volume");
  if (status_.canGoNext != before.canGoNext) changed.emplace_back("CanGoNext");
  if (status_.canGoPrevious != before.canGoPrevious) changed.emplace_back("CanGoPrevious");
  if (status_.canPlay != before.canPlay) changed.emplace_back("CanPlay");
  if (status_.canSeek != before.canSeek) changed.emplace_back("CanSeek");
  return changed;
}

bool MediaRemote::TakeSeeked() { return std::exchange(seeked_, false); }

// The play button's own test: its tool tip says what a click would do.
bool MediaRemote::Playing() const { return main_.bo_but[0].tooltip == "暂停"; }

void MediaRemote::PlayPause() { player_.bo_but_Click(0); }

void MediaRemote::Play() {
  if (!Playing()) player_.bo_but_Click(0);
}

void MediaRemote::Pause() {
  if (Playing()) player_.bo_but_Click(0);
}

void MediaRemote::Stop() { player_.bo_but_Click(1); }
void MediaRemote::Next() { player_.bo_but_Click(7); }
void MediaRemote::Previous() { player_.bo_but_Click(5); }

void MediaRemote::Seek(int64_t offsetUs) {
  if (!control_ || control_->Url().empty()) return;
  const double target = control_->Position() + static_cast<double>(offsetUs) / kSecond;
  player_.SeekTo(std::max(0.0, target));
  seeked_ = true;
}

void MediaRemote::SetPosition(const std::string& trackId, int64_t positionUs) {
  if (!control_ || control_->Url().empty() || trackId != status_.trackId) return;
  if (positionUs < 0 || positionUs > int64_t{control_->Duration()} * kSecond) return;
  player_.SeekTo(static_cast<double>(positionUs) / kSecond);
  seeked_ = true;
}

void MediaRemote::SetVolume(double volume) {
  if (!std::isfinite(volume)) return;
  player_.SetVolume(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
}

void MediaRemote::OpenFile(const std::string& path) {
  // Quoted, as a launcher passes a path: l_com takes the quotes off again.
  if (!path.empty()) instance_.Form_LinkExecute("\"" + path + "\"");
}

void MediaRemote::Raise() { main_.ComeToFront(); }
void MediaRemote::Quit() { exit_.ttt_v(); }

}  // namespace tavlin::desktop
