#include "core/desktop/media_remote.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "core/base/text.h"
#include "core/desktop/keep_awake.h"

namespace tavlin::desktop {

namespace {
constexpr int64_t kSecond = 1000000;

// The desktop's names for the player's states: what runs toward a picture plays.
const char* StatusName(int playState) {
  if (Running(playState)) return "Playing";
  return playState == kStatePaused ? "Paused" : "Stopped";
}

bool Unreserved(unsigned char c) {
  return (std::isalnum(c) && c < 128) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool HexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

void Escape(std::string& out, unsigned char c) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[c >> 4];
  out += kHex[c & 15];
}

// A local path as a file URI: every byte but the unreserved ones and "/" escaped.
std::string FileUri(const std::string& path) {
  std::string out = "file://";
  for (unsigned char c : path) {
    if (Unreserved(c) || c == '/') {
      out += static_cast<char>(c);
    } else {
      Escape(out, c);
    }
  }
  return out;
}

// An address made valid as a URI: what may stand in one stays, including its
// escapes; anything else (non-ASCII text, spaces, the "%u" of the portal's escaped
// titles) is escaped.
std::string AsUri(const std::string& address) {
  static const std::string kReserved = ":/?#[]@!$&'()*+,;=";
  std::string out;
  for (size_t i = 0; i < address.size(); ++i) {
    const auto c = static_cast<unsigned char>(address[i]);
    const bool escape = c == '%' && i + 2 < address.size() && HexDigit(address[i + 1]) && HexDigit(address[i + 2]);
    if (Unreserved(c) || kReserved.find(static_cast<char>(c)) != std::string::npos || escape) {
      out += static_cast<char>(c);
    } else {
      Escape(out, c);
    }
  }
  return out;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// A series episode is "id-source-index-title"; only a numeric index has neighbours.
bool EpisodeIndex(const std::string& key, int& index) {
  if (key == "0") return false;
  const std::vector<std::string> parts = Split(key, "-");
  return parts.size() >= 3 && ParseNumber(parts[2], index);
}
}  // namespace

MediaRemote::MediaRemote(Portal portal, shell::WindowFront& window, const shell::PlayerTitle& title,
                         const state::ProgramState& state, player::Player& player, instance::Instance& instance,
                         shell::ProgramExit& exit, SeekWatch& seeks)
    : portal_(std::move(portal)),
      window_(window),
      title_(title),
      state_(state),
      player_(player),
      instance_(instance),
      exit_(exit),
      seeks_(seeks),
      control_(seeks.control()) {
  status_ = Read();
}

std::string MediaRemote::TrackId() const {
  return "/org/mpris/MediaPlayer2/tavlin/track/" + std::to_string(trackNumber_);
}

// A local file as its file URI; a portal item as its episode page, which the
// desktop can open, rather than the player's own download address.
std::string MediaRemote::ItemAddress() const {
  const std::string address = control_->Url();
  if (StartsWith(address, "/")) return FileUri(address);
  const std::string& episode = state_.episodes.CurrentEpisodeKey;
  if (episode != "0") return AsUri(portal_.EpisodePage(episode + "-0"));
  if (StartsWith(address, "http://") || StartsWith(address, "https://")) return AsUri(address);
  return "";
}

// The player knows the item: its length, or that it has played a second of it (a
// stream has no length), or that it will not. Playing alone is not enough: the
// player reports it as soon as the file opens, a moment before the length.
bool MediaRemote::ItemSettled() const {
  return control_->Duration() > 0 || control_->OpenFailed() ||
         (control_->PlayState() == kStatePlaying && control_->Position() >= 1);
}

MediaStatus MediaRemote::Read() const {
  MediaStatus s;
  if (!control_) return s;
  s.volume = control_->Volume() / 100.0;
  if (control_->Url().empty()) return s;
  s.playbackStatus = StatusName(control_->PlayState());
  s.trackId = TrackId();
  s.title = title_.Text();
  s.url = ItemAddress();
  s.lengthUs = int64_t{control_->Duration()} * kSecond;
  s.positionUs = int64_t{control_->Position()} * kSecond;
  s.canPlay = true;
  s.canSeek = control_->Duration() > 0;
  int index = 0;
  if (EpisodeIndex(state_.episodes.CurrentEpisodeKey, index)) {
    // "1": the portal said there is no next episode.
    s.canGoNext = state_.episodes.NextEpisodePage.stage() != state::NextEpisode::Stage::NoneLeft;
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
  if (status_.trackId != before.trackId && !status_.trackId.empty() && !ItemSettled()) {
    // Opening: the item before is still described until the player knows this one.
    status_.trackId = before.trackId;
    status_.title = before.title;
    status_.url = before.url;
    status_.lengthUs = before.lengthUs;
  }
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

std::optional<int64_t> MediaRemote::TakeSeek() {
  const std::optional<int> jump = seeks_.TakeJump();
  if (!jump) return std::nullopt;
  return int64_t{*jump} * kSecond;
}

int64_t MediaRemote::PositionNowUs() const {
  if (!control_ || control_->Url().empty()) return 0;
  return int64_t{control_->Position()} * kSecond;
}

// The play button's own test: its tool tip says what a click would do.
bool MediaRemote::Playing() const { return player_.OffersPause(); }

void MediaRemote::PlayPause() { player_.PlayPause(); }

void MediaRemote::Play() {
  if (!Playing()) player_.PlayPause();
}

void MediaRemote::Pause() {
  if (Playing()) player_.PlayPause();
}

void MediaRemote::Stop() { player_.StopItem(); }
void MediaRemote::Next() { player_.NextEpisode(); }
void MediaRemote::Previous() { player_.PreviousEpisode(); }

void MediaRemote::Seek(int64_t offsetUs) {
  if (!control_ || control_->Url().empty()) return;
  const double target = control_->Position() + static_cast<double>(offsetUs) / kSecond;
  player_.SeekTo(std::max(0.0, target));
}

void MediaRemote::SetPosition(const std::string& trackId, int64_t positionUs) {
  if (!control_ || control_->Url().empty() || trackId != TrackId()) return;
  if (positionUs < 0 || positionUs > int64_t{control_->Duration()} * kSecond) return;
  player_.SeekTo(static_cast<double>(positionUs) / kSecond);
}

void MediaRemote::SetVolume(double volume) {
  if (!std::isfinite(volume)) return;
  player_.SetVolume(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
}

void MediaRemote::OpenFile(const std::string& path) {
  // Quoted, as a launcher passes a path: l_com takes the quotes off again.
  if (!path.empty()) instance_.Form_LinkExecute("\"" + path + "\"");
}

void MediaRemote::Raise() { window_.ComeToFront(); }
void MediaRemote::Quit() { exit_.ttt_v(); }

}  // namespace tavlin::desktop
