// l_com: plays a file named on the command line (of the first start, or handed over
// by a second one) and puts it on top of the local list.
#include "core/base/files.h"
#include "core/base/text.h"
#include "core/lists/list_files.h"
#include "core/player/player.h"

namespace tavlin::player {

std::string CommandLinePath(const std::string& commandText) {
  std::string text = ReplaceAll(commandText, "\"", "");
  if (!text.empty() && text.back() == '/') text.pop_back();
  return text;
}

void Player::l_com(const std::string& commandText) {
  const std::string text = CommandLinePath(commandText);
  // Nothing left to play: an empty record would only clutter the local list.
  if (text.empty() || !control()) return;

  PlayLocalFile(text);
}

// Also the open-file button's way: a local file has no next episode and no saved
// position (its record is put back to 0), so nothing the item before left behind
// may steer it.
void Player::PlayLocalFile(const std::string& path) {
  PlayAddress(path);
  // The player only ends such an item; the user must learn why nothing plays, once.
  if (!path.empty() && path[0] == '/' && !FileExists(path)) {
    Balloon("找不到要播放的文件：" + path);
    openFailureReported_ = true;
  }
  const std::string name = FileNameOf(path);
  mainWindow_.title.Show(name);

  // A path the list would store as another record plays unlisted, with no record
  // to keep its position in.
  const bool listed = FitsLocalList(path);
  state::StartItem(playback_, episodes_, {.source = 2, .itemKey = listed ? path : "0", .episodeKey = "0"});
  if (listed) {
    ListStore lists(folder_.dir, &ports_.views);
    if (!lists.AddLocalEntry(name, path, 0)) ListWriteFailed(lists, kLocalList);
  } else {
    if (!unlistedReported_) Balloon("此文件的路径含有列表无法保存的字符，不记入本地列表，也不保存播放位置。");
    unlistedReported_ = true;
  }
  mainWindow_.views.ShowPlayView();
}

void Player::PlayAddress(const std::string& url) {
  if (!control()) return;
  control()->SetUrl(url);
  control()->Play();
  // The end handling armed in the last seconds of the item before would finish
  // this one: take its resume point, say "播放完毕", or shut the machine down.
  controls_.Timer2.SetEnabled(false);
  endPosition_.reset();
  keptPosition_.reset();
  PollSoon();
}

void Player::PlaybackStarted() {
  if (controls_.Timer1.enabled() && controls_.Timer1.interval() == kStartingPollMs) Timer1_Timer();
}

void Player::GoOn() {
  // A paused item has its picture already: it shows at once. The poll keeps its
  // beat, so "正在播放" stays until it has read the rates anew.
  if (control()->PlayState() == kStatePlaying) {
    controls_.bo_ad.visible = false;
    controls_.QvodC.visible = true;
  }
  if (controls_.Timer1.interval() != kPollMs) controls_.Timer1.SetInterval(kPollMs);
  controls_.Timer1.SetEnabled(true);
}

void Player::PollSoon() {
  startingTicks_ = 0;
  openFailureReported_ = false;  // an item (re)started may fail anew
  if (controls_.Timer1.interval() != kStartingPollMs) controls_.Timer1.SetInterval(kStartingPollMs);
  controls_.Timer1.SetEnabled(true);
}

}  // namespace tavlin::player
