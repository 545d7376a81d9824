// The button row under the picture: bo_but_Click by index and each button's action
// by name, its hover frames, and the ad picture that resumes playback.
#include <cstdlib>

#include "core/base/files.h"
#include "core/base/text.h"
#include "core/lists/list_files.h"
#include "core/player/player.h"
#include "core/shell/skin_frames.h"

namespace tavlin::player {

Player::Player(ProgramFolder folder, shell::PlayerControls controls, PlayerWindow window, state::ProgramState& state,
               PlayerPorts ports)
    : folder_(std::move(folder)),
      controls_(controls),
      mainWindow_(window),
      playback_(state.playback),
      episodes_(state.episodes),
      ports_(ports) {}

bool Player::Loaded() const { return control() && !control()->Url().empty(); }

bool Player::PageItemShown() const { return playback_.PlaysInPage == 1; }

void Player::PaintButton(int index, bool hover) {
  auto& b = controls_.bo_but[index];
  if (auto f = shell::BoButFrame(index, hover, b.tooltip)) b.frame = *f;
}

void Player::bo_but_Click(int index) {
  switch (index) {
    case shell::kBoPlayPause: PlayPause(); break;
    case shell::kBoStop: StopItem(); break;
    case shell::kBoMute: ToggleMute(); break;
    case shell::kBoFullScreen: EnterFullScreen(); break;
    case shell::kBoOpenFile: OpenLocalFile(); break;
    case shell::kBoPrevious: PreviousEpisode(); break;
    case shell::kBoShutdownMenu: ports_.menus.PopupAtPointer("guan"); break;
    case shell::kBoNext: NextEpisode(); break;
    case shell::kBoSidebar: mainWindow_.surround.ToggleSidebar(); break;
    default: break;
  }
}

void Player::PlayPause() {
  // The page player's item is on screen: the player's own (stopped, hidden)
  // item must not play behind it, unseen and heard twice.
  if (!Loaded() || PageItemShown()) return;
  auto& button = controls_.bo_but[shell::kBoPlayPause];
  if (button.tooltip == "暂停") {
    controls_.bo_ad.visible = true;
    controls_.QvodC.visible = false;
    control()->Pause();
    // A pause may be the last thing before the machine goes down.
    if (playback_.ResumeApplied == 1 || playback_.ResumePosition == 0) {
      const int position = control()->Position();
      SavePosition(position);
      keptPosition_ = position;
    }
    button.tooltip = "播放";
    mainWindow_.status.Show("已暂停");
  } else {
    const bool resuming = control()->PlayState() == kStatePaused;
    playback_.ResumeApplied = 0;
    endPosition_.reset();
    control()->Play();
    button.tooltip = "暂停";
    mainWindow_.status.Show("正在播放");
    if (resuming) {
      GoOn();
    } else {
      PollSoon();  // stopped or finished: the item starts again
    }
  }
  PaintButton(shell::kBoPlayPause, false);
}

void Player::StopItem() {
  if (!Loaded()) return;
  controls_.bo_ad.visible = true;
  controls_.QvodC.visible = false;
  SavePosition(playback_.PlayPosition);
  playback_.PlayPosition = 0;
  keptPosition_.reset();
  controls_.Timer1.SetEnabled(false);
  control()->Stop();
  auto& play = controls_.bo_but[shell::kBoPlayPause];
  play.tooltip = "播放";
  PaintButton(shell::kBoPlayPause, false);
  mainWindow_.status.Show("已停止");
}

void Player::ToggleMute() {
  auto& button = controls_.bo_but[shell::kBoMute];
  const bool mute = button.tooltip == "静音";
  button.tooltip = mute ? "取消静音" : "静音";
  if (control()) control()->SetMute(mute);
  PaintButton(shell::kBoMute, false);
}

void Player::EnterFullScreen() {
  // Full screen shows the player's picture, never one the user does not see.
  if (!control() || PageItemShown() || control()->PlayState() != kStatePlaying) return;
  mainWindow_.views.ShowPlayView();
  control()->SetFullScreen(true);
  PaintButton(shell::kBoFullScreen, false);
}

bool Player::SavePosition(int position, bool report) {
  if (playback_.CurrentItemKey == "0" || position <= 0) return true;
  ListStore lists(folder_.dir, &ports_.views);
  int id = 0;
  const char* list = nullptr;
  bool saved = true;
  // A key that is not a number names no record of the network list.
  if (playback_.PlaySource == 1 && ParseNumber(playback_.CurrentItemKey, id)) {
    list = kHistoryList;
    saved = lists.SaveHistoryPosition(id, position);
  } else if (playback_.PlaySource == 2) {
    list = kLocalList;
    saved = lists.SaveLocalPosition(playback_.CurrentItemKey, position);
  }
  if (!saved && report) ListWriteFailed(lists, list);
  return saved;
}

void Player::KeepPosition(int position) {
  // The first playing tick only learns where the item stands: before the resume
  // seek has landed it may read a start that must not overwrite the saved place.
  if (!keptPosition_) {
    keptPosition_ = position;
    return;
  }
  if (std::abs(position - *keptPosition_) < kKeepPositionSeconds) return;
  // A disk that stays broken is reported once, not every few seconds.
  keepFailing_ = !SavePosition(position, !keepFailing_);
  keptPosition_ = position;
}

void Player::ListWriteFailed(const ListStore& lists, const char* list) {
  mainWindow_.writeFailures.WriteFailed(lists.PathOf(list));
}

void Player::PreviousEpisode() { StepEpisode(shell::kBoPrevious, 1); }
void Player::NextEpisode() { StepEpisode(shell::kBoNext, 2); }

void Player::StepEpisode(int index, int direction) {
  auto& button = controls_.bo_but[index];
  // A second click must not start a second request while the first one waits.
  button.enabled = false;
  ports_.episodes.StepEpisode(direction);
  button.enabled = true;
}

void Player::OpenLocalFile() {
  PaintButton(shell::kBoOpenFile, false);
  controls_.p1.visible = false;
  if (!control()) return;
  const std::optional<std::string> chosen = ports_.dialogs.OpenFile(kOpenFileTitle, kOpenFileFilter, LastLocalFolder());
  if (!chosen || chosen->empty()) return;
  const std::string path = *chosen;

  StopItem();
  PlayLocalFile(path);

  mainWindow_.surround.ItemChanged();
}

std::string Player::LastLocalFolder() const {
  // The local list holds the files played, newest on top: the dialog goes back to
  // where the last one was.
  const std::optional<std::string> list = ReadWholeFile(folder_.File(kLocalList));
  const std::string path = list ? NewestLocalPath(*list) : "";
  const size_t slash = path.rfind('/');
  return slash == std::string::npos || path[0] != '/' ? "" : path.substr(0, slash + 1);
}

void Player::bo_but_MouseMove(int index, int button, int x, int y) {
  (void)button;
  if (index < 0 || index > shell::kBoLast) return;
  mainWindow_.surround.ArrowPointer();
  auto& b = controls_.bo_but[index];
  const bool inside = x >= 0 && x <= b.w && y >= 0 && y <= b.h;
  if (index != shell::kBoShutdownMenu) PaintButton(index, inside);
  // Captured, the move that leaves the button still arrives and restores its frame.
  if (inside) {
    controls_.Capture = b.key;
  } else {
    controls_.Capture.reset();
  }
}

void Player::adp_Click() { PlayPause(); }

}  // namespace tavlin::player
