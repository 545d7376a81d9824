// The button row under the picture: bo_but_Click(0..8), its hover frames, and the
// ad picture that resumes playback.
#include "core/base/text.h"
#include "core/lists/list_files.h"
#include "core/player/player.h"

namespace tavlin::player {

namespace {
// Normal and hover frame of a button: strip and x offset.
struct FramePair {
  int strip, x, hoverStrip, hoverX;
};

FramePair FramesOf(int index, const std::string& tooltip) {
  switch (index) {
    case 0: return tooltip == "暂停" ? FramePair{12, 76, 12, 114} : FramePair{12, 0, 12, 38};
    case 1: return {13, 0, 13, 25};
    case 2: return tooltip == "静音" ? FramePair{14, 0, 14, 25} : FramePair{14, 50, 14, 75};
    case 3: return {16, 50, 17, 50};
    case 4: return {16, 25, 17, 25};
    case 5: return {18, 0, 18, 25};
    case 7: return {18, 50, 18, 75};
    case 8: return {16, 75, 17, 75};
    default: return {-1, 0, -1, 0};
  }
}
}  // namespace

Player::Player(shell::BA1& main, PlayerPorts ports) : main_(main), ports_(ports) {}

bool Player::Loaded() const { return control() && !control()->Url().empty(); }

void Player::PaintButton(int index, bool hover) {
  auto& b = main_.C("bo_but", index);
  const FramePair f = FramesOf(index, b.tooltip);
  if (f.strip < 0) return;
  const int w = index == 0 ? 38 : 25;
  const int h = index == 0 ? 33 : 24;
  b.frame = hover ? forms::Frame{f.hoverStrip, f.hoverX, 0, w, h} : forms::Frame{f.strip, f.x, 0, w, h};
}

void Player::bo_but_Click(int index) {
  if (index < 0 || index > 8) return;
  auto& button = main_.C("bo_but", index);
  switch (index) {
    case 0: {
      if (!Loaded()) return;
      if (button.tooltip == "暂停") {
        main_.C("bo_ad").visible = true;
        main_.C("QvodC").visible = false;
        control()->Pause();
        button.tooltip = "播放";
        main_.C("zhun").caption = "已暂停";
      } else {
        main_.ResumeApplied = 0;
        endPosition_.reset();
        control()->Play();
        button.tooltip = "暂停";
        main_.C("zhun").caption = "正在播放";
        main_.T("Timer1").SetEnabled(true);
      }
      PaintButton(0, false);
      break;
    }

    case 1: {
      if (!Loaded()) return;
      main_.C("bo_ad").visible = true;
      main_.C("QvodC").visible = false;
      if (main_.CurrentItemKey != "0" && main_.PlayPosition > 0) {
        ListStore lists(main_.folder.dir, &main_);
        int id = 0;
        // A key that is not a number names no record of the network list.
        if (main_.PlaySource == 1 && ParseNumber(main_.CurrentItemKey, id)) {
          lists.SaveHistoryPosition(id, main_.PlayPosition);
        } else if (main_.PlaySource == 2) {
          lists.SaveLocalPosition(main_.CurrentItemKey, main_.PlayPosition);
        }
      }
      main_.PlayPosition = 0;
      main_.T("Timer1").SetEnabled(false);
      control()->Stop();
      auto& play = main_.C("bo_but", 0);
      play.tooltip = "播放";
      PaintButton(0, false);
      main_.C("zhun").caption = "已停止";
      break;
    }

    case 2: {
      const bool mute = button.tooltip == "静音";
      button.tooltip = mute ? "取消静音" : "静音";
      if (control()) control()->SetMute(mute);
      PaintButton(2, false);
      break;
    }

    case 3:
      if (!control() || control()->PlayState() != kStatePlaying) return;
      main_.npc_Click(9);
      control()->SetFullScreen(true);
      PaintButton(3, false);
      break;

    case 4: OpenLocalFile(); break;
    case 5: StepEpisode(5, 1); break;
    case 7: StepEpisode(7, 2); break;

    case 6:
      if (main_.ports.menus) main_.ports.menus->PopupAtPointer("guan");
      break;

    case 8: main_.npc_Click(6); break;

    default: break;
  }
}

void Player::StepEpisode(int index, int direction) {
  auto& button = main_.C("bo_but", index);
  // A second click must not start a second request while the first one waits.
  button.enabled = false;
  if (ports_.episodes) ports_.episodes->StepEpisode(direction);
  button.enabled = true;
}

void Player::OpenLocalFile() {
  PaintButton(4, false);
  main_.C("p1").visible = false;
  if (!main_.ports.dialogs || !control()) return;
  const std::optional<std::string> chosen = main_.ports.dialogs->OpenFile(kOpenFileTitle, kOpenFileFilter);
  if (!chosen || chosen->empty()) return;
  const std::string path = *chosen;

  bo_but_Click(1);
  PlayLocalFile(path);

  if (main_.CompactMode == 1) {
    auto& compactName = main_.C("ni_name");
    auto& title = main_.C("ni_bo1");
    const int room = main_.C("jbi").x - 50;
    compactName.SetCaption(main_.C("bo_name").caption);
    if (room < compactName.w) {
      title.autoSize = false;
      title.wordWrap = true;
      title.caption = compactName.caption;
      title.w = room;
      title.h = 2 * (title.fontPixels + 2);
    } else {
      title.autoSize = true;
      title.wordWrap = false;
      title.SetCaption(compactName.caption);
    }
  }
}

void Player::bo_but_MouseMove(int index, int button, int x, int y) {
  (void)button;
  if (index < 0 || index > 8) return;
  main_.window.cursor = 0;
  if (main_.ports.window) main_.ports.window->SetCursor(0);
  auto& b = main_.C("bo_but", index);
  const bool inside = x >= 0 && x <= b.w && y >= 0 && y <= b.h;
  if (index != 6) PaintButton(index, inside);
  // Captured, the move that leaves the button still arrives and restores its frame.
  if (inside) {
    main_.Capture = b.key;
  } else {
    main_.Capture.reset();
  }
}

void Player::adp_Click() { bo_but_Click(0); }

}  // namespace tavlin::player
