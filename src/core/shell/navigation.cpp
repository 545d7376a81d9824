// The navigation bar: npc_Click, the single entry point of window commands and view
// switching, and the hover feedback of its buttons.
#include "core/base/config.h"
#include "core/base/text.h"
#include "core/shell/ba1.h"
#include "core/shell/palette.h"
#include "core/shell/skin_frames.h"

namespace tavlin::shell {

void BA1::PaintTab(int index, bool selected, int height) {
  if (auto f = TabFrame(index, selected, height)) npc[index].frame = *f;
}

void BA1::NormalFrame(int index) {
  if (auto f = NpcFrame(index, false, Maximized(), npc[index].tooltip)) npc[index].frame = *f;
}

void BA1::HoverFrame(int index) {
  if (auto f = NpcFrame(index, true, Maximized(), npc[index].tooltip)) npc[index].frame = *f;
}

void BA1::CloseToTray() {
  if (ports.tray.Available()) {
    ShowWindow(false);
    return;
  }
  // Hidden with no tray to show it again, the window would be lost: the task bar
  // (or whatever the desktop has) brings a minimised one back.
  window.state = forms::WindowState::Minimized;
  ports.window.ShowMinimized();
}

void BA1::npc_Click(int index) {
  if (index < 0 || index > 16) return;
  p1.visible = false;
  jbi.fore = kWhite;
  qk.fore = kListText;

  switch (index) {
    case 0:
      window.state = forms::WindowState::Minimized;
      ports.window.ShowMinimized();
      NormalFrame(0);
      break;

    case 1: {
      auto& b = npc[1];
      if (Maximized()) {
        window.state = forms::WindowState::Normal;
        b.tooltip = "最大化";
        NormalFrame(1);
        ports.window.ShowNormal();
      } else {
        window.state = forms::WindowState::Maximized;
        b.tooltip = "还原";
        NormalFrame(1);
        ports.window.ShowMaximized();
      }
      break;
    }

    case 2: {
      NormalFrame(2);
      CloseAsk = ReadIni(IniPath, ini_keys::kCloseAsk);
      CloseAction = ReadIni(IniPath, ini_keys::kCloseAction);
      if (ToNumber(CloseAsk) != 3) {
        if (ToNumber(CloseAction) == 1) {
          exit_.ttt_v();
        } else {
          CloseToTray();
        }
        break;
      }
      const Answer a = ports.dialogs.AskYesNo("关闭 Tavlin 最小化到托盘吗？", "提示：");
      // Esc or the box's own close button: no answer, so nothing closes and the
      // question comes again next time.
      if (a == Answer::Cancel) break;
      SaveSetting(ini_keys::kCloseAsk, "1");
      if (a == Answer::Yes) {
        SaveSetting(ini_keys::kCloseAction, "2");
        CloseToTray();
      } else {
        SaveSetting(ini_keys::kCloseAction, "1");
        exit_.ttt_v();
      }
      break;
    }

    case 3: {
      NormalFrame(3);
      auto& b = npc[3];
      ports.menus.Popup("pifu", b.x - 15, b.y + 20);
      break;
    }

    case 4: {
      auto& b = npc[4];
      if (b.tooltip == "置顶") {
        zhi_d(1);
        b.tooltip = "取消置顶";
      } else {
        zhi_d(0);
        b.tooltip = "置顶";
      }
      NormalFrame(4);
      break;
    }

    case 5: {
      NormalFrame(5);
      auto& b = npc[5];
      ports.menus.Popup("r_m", b.x - 15, b.y + 20);
      break;
    }

    case 6: {
      auto& b = npc[6];
      if (b.tooltip == "关闭侧栏") {
        b.tooltip = "显示侧栏";
        l2.visible = false;
      } else {
        l2.visible = true;
        b.tooltip = "关闭侧栏";
      }
      LayoutMainArea();
      qvod_Resize();
      break;
    }

    case 7: {
      auto& b = npc[7];
      b.tooltip = b.tooltip.find("关闭") != std::string::npos ? "打开" : "关闭";
      LayoutSidePanel();
      break;
    }

    case 8:
      PaintTab(8, true, 32);
      PaintTab(9, false, 32);
      if (CurrentView == 13 || CurrentView == 14) PaintTab(CurrentView, false, 32);
      npc[CurrentView].enabled = true;
      npc[8].enabled = false;
      CurrentView = 8;
      Pic1.visible = true;
      Pic2.visible = qvod.visible = Pic5.visible = false;
      (LocalListSelected() ? Pic4 : Pic3).visible = true;
      if (ying.visible) {
        ying.visible = false;
        zz.visible = true;
      }
      break;

    case 9:
      PaintTab(9, true, 32);
      // Re-selecting the play view (the link handlers do) must not paint its own
      // tab as unselected.
      if (CurrentView != 9) PaintTab(CurrentView, false, 32);
      npc[CurrentView].enabled = true;
      npc[9].enabled = false;
      CurrentView = 9;
      Pic1.visible = wait.visible = Pic3.visible = false;
      if (state.playback.PlaySource == 1) {
        npc_Click(11);
      } else if (state.playback.PlaySource == 2) {
        npc_Click(12);
      } else {
        (LocalListSelected() ? Pic4 : Pic5).visible = true;
      }
      if (state.playback.PlaysInPage == 1) {
        qvod.visible = false;
        Pic2.visible = true;
      } else {
        qvod.visible = true;
        Pic2.visible = false;
        Navigate2("Web2", "about:blank");
      }
      if (ying.visible) {
        ying.visible = false;
        zz.visible = true;
      }
      break;

    case 11:
      npc[11].frame = ListTabFrame(11, false);
      npc[12].frame = ListTabFrame(12, false);
      (CurrentView == 9 ? Pic5 : Pic3).visible = true;
      Pic4.visible = false;
      qk.SetCaption("∴ 管理任务");
      npc[11].enabled = false;
      npc[12].enabled = true;
      break;

    case 12:
      npc[12].frame = ListTabFrame(12, true);
      npc[11].frame = ListTabFrame(11, true);
      qk.SetCaption("∴ 清空列表");
      Pic4.visible = true;
      Pic5.visible = Pic3.visible = false;
      npc[11].enabled = true;
      npc[12].enabled = false;
      break;

    case 13:
    case 14: {
      const int section = index == 13 ? 1 : 2;
      if (LoadedSection != section) Navigate2("Web9", portal.Section(index == 13 ? "/tv" : "/yy"));
      LoadedSection = section;
      if (index == 13) {
        const int playState = player_.PlayState();
        if (playState != 0 && playState != 1) player_.bo_but_Click(1);
      }
      PaintTab(index, true, 35);
      if (CurrentView != index) PaintTab(CurrentView, false, 35);
      npc[CurrentView].enabled = true;
      npc[index].enabled = false;
      CurrentView = index;
      zz.visible = false;
      ying.visible = true;
      break;
    }

    case 15: {
      if (CurrentView > 9) break;
      npc_Click(9);
      if (window.state != forms::WindowState::Normal) {
        window.state = forms::WindowState::Normal;
        ports.window.ShowNormal();
      }
      zhi_d(1);
      CompactMode = 1;
      bo_name.visible = ni_name.visible = l2.visible = false;
      for (int i = 0; i <= 16; ++i) npc[i].visible = false;
      for (int i = 0; i <= 8; ++i) bo_but[i].visible = false;
      yin.visible = false;
      ni_bo1.visible = true;
      jbi.visible = true;
      jbi.caption = "x";
      if (Timer7.enabled()) {
        Timer7.SetEnabled(false);
        if (auto* shown = Lab2.Find(ToNumber(Lab[0].caption))) shown->visible = false;
      }
      SetWindowSize(5800, 4800);
      NormalFrame(15);
      break;
    }

    case 16: {
      auto& b = npc[16];
      SetFrame(b, 20, 0, 54, 38);
      ports.menus.Popup("r_m", b.x + 20, b.y + 25);
      break;
    }

    default:  // 10: the tab bar itself
      break;
  }
}

void BA1::npc_MouseMove(int index, int button, int x, int y) {
  (void)button;
  if (index < 0 || index > 16) return;
  window.cursor = 0;
  ports.window.SetCursor(0);
  auto& b = npc[index];
  const bool over = x >= 0 && x <= b.w && y >= 0 && y <= b.h;
  const bool drawsHover = index <= 5 || index == 7 || index == 15 || index == 16;
  if (over) {
    if (drawsHover) HoverFrame(index);
    Capture = b.key;
    if (index <= 5 || index == 15) {
      auto& tip = bo_tip;
      tip.SetCaption(b.tooltip);
      tip.Move(2, 2);
      p1.Move(b.x - 5, b.y + b.h + 3, tip.w + 5, tip.h + 5);
      p1.visible = true;
    }
  } else {
    if (drawsHover) NormalFrame(index);
    Capture.reset();
    p1.visible = false;
  }
}

}  // namespace tavlin::shell
