// The navigation bar: npc_Click, the single entry point of window commands and view
// switching, and the hover feedback of its buttons.
#include "core/base/config.h"
#include "core/base/text.h"
#include "core/shell/ba1.h"

namespace tavlin::shell {

namespace {
const forms::Rgb kWhite{255, 255, 255};
const forms::Rgb kListText = forms::Rgb::FromBgr(0x5A5A5A);

int TabX(int index) {
  switch (index) {
    case 9: return 0;
    case 8: return 80;
    case 13: return 160;
    case 14: return 240;
    default: return -1;
  }
}

bool IsViewTab(int index) { return TabX(index) >= 0; }
}  // namespace

void BA1::SetFrame(forms::Control& c, int strip, int x, int w, int h) { c.frame = {strip, x, 0, w, h}; }

void BA1::PaintTab(int index, bool selected, int height) {
  if (!IsViewTab(index)) return;
  SetFrame(C("npc", index), selected ? 7 : 8, TabX(index), 80, height);
}

void BA1::NormalFrame(int index) {
  auto& b = C("npc", index);
  switch (index) {
    case 0: SetFrame(b, 1, 72, 24, 19); break;
    case 1: Maximized() ? SetFrame(b, 5, 0, 24, 19) : SetFrame(b, 1, 96, 24, 19); break;
    case 2: SetFrame(b, 1, 120, 33, 19); break;
    case 3: SetFrame(b, 1, 24, 24, 19); break;
    case 4: SetFrame(b, 6, b.tooltip == "置顶" ? 0 : 42, 21, 19); break;
    case 5: SetFrame(b, 1, 48, 24, 19); break;
    case 7: SetFrame(b, 4, b.tooltip.find("关闭") != std::string::npos ? 30 : 20, 10, 10); break;
    case 15: SetFrame(b, 1, 0, 24, 19); break;
    case 16: SetFrame(b, 20, 0, 45, 38); break;
    default: break;
  }
}

void BA1::HoverFrame(int index) {
  auto& b = C("npc", index);
  switch (index) {
    case 0: SetFrame(b, 2, 72, 24, 19); break;
    case 1: Maximized() ? SetFrame(b, 5, 24, 24, 19) : SetFrame(b, 2, 96, 24, 19); break;
    case 2: SetFrame(b, 2, 120, 33, 19); break;
    case 3: SetFrame(b, 2, 24, 24, 19); break;
    case 4: SetFrame(b, 6, b.tooltip == "置顶" ? 21 : 63, 21, 19); break;
    case 5: SetFrame(b, 2, 48, 24, 19); break;
    case 7: SetFrame(b, 4, b.tooltip.find("关闭") != std::string::npos ? 10 : 0, 10, 10); break;
    case 15: SetFrame(b, 2, 0, 24, 19); break;
    case 16: SetFrame(b, 20, 45, 45, 38); break;
    default: break;
  }
}

void BA1::npc_Click(int index) {
  if (index < 0 || index > 16) return;
  C("p1").visible = false;
  C("jbi").fore = kWhite;
  C("qk").fore = kListText;

  switch (index) {
    case 0:
      window.state = forms::WindowState::Minimized;
      if (ports.window) ports.window->ShowMinimized();
      NormalFrame(0);
      break;

    case 1: {
      auto& b = C("npc", 1);
      if (Maximized()) {
        window.state = forms::WindowState::Normal;
        b.tooltip = "最大化";
        SetFrame(b, 1, 96, 24, 19);
        if (ports.window) ports.window->ShowNormal();
      } else {
        window.state = forms::WindowState::Maximized;
        b.tooltip = "还原";
        SetFrame(b, 5, 0, 24, 19);
        if (ports.window) ports.window->ShowMaximized();
      }
      break;
    }

    case 2: {
      NormalFrame(2);
      CloseAsk = ReadIni(IniPath, "S_q", "ts", "0");
      CloseAction = ReadIni(IniPath, "S_q", "quit", "0");
      if (ToNumber(CloseAsk) != 3) {
        if (ToNumber(CloseAction) == 1) {
          if (hooks.ttt_v) hooks.ttt_v();
        } else {
          ShowWindow(false);
        }
        break;
      }
      WriteIni(IniPath, "S_q", "ts", "1");
      Answer a = ports.dialogs ? ports.dialogs->AskYesNo("关闭 Tavlin 最小化到托盘吗？", "提示：") : Answer::Yes;
      if (a == Answer::Yes) {
        WriteIni(IniPath, "S_q", "quit", "2");
        ShowWindow(false);
      } else {
        WriteIni(IniPath, "S_q", "quit", "1");
        if (hooks.ttt_v) hooks.ttt_v();
      }
      break;
    }

    case 3: {
      NormalFrame(3);
      auto& b = C("npc", 3);
      if (ports.menus) ports.menus->Popup("pifu", b.x - 15, b.y + 20);
      break;
    }

    case 4: {
      auto& b = C("npc", 4);
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
      auto& b = C("npc", 5);
      if (ports.menus) ports.menus->Popup("r_m", b.x - 15, b.y + 20);
      break;
    }

    case 6: {
      auto& b = C("npc", 6);
      if (b.tooltip == "关闭侧栏") {
        b.tooltip = "显示侧栏";
        C("l2").visible = false;
      } else {
        C("l2").visible = true;
        b.tooltip = "关闭侧栏";
      }
      LayoutMainArea();
      qvod_Resize();
      break;
    }

    case 7: {
      auto& b = C("npc", 7);
      b.tooltip = b.tooltip.find("关闭") != std::string::npos ? "打开" : "关闭";
      LayoutSidePanel();
      break;
    }

    case 8:
      PaintTab(8, true, 32);
      PaintTab(9, false, 32);
      if (CurrentView == 13 || CurrentView == 14) PaintTab(CurrentView, false, 32);
      C("npc", CurrentView).enabled = true;
      C("npc", 8).enabled = false;
      CurrentView = 8;
      C("Pic1").visible = true;
      C("Pic2").visible = C("qvod").visible = C("Pic5").visible = false;
      C(LocalListSelected() ? "Pic4" : "Pic3").visible = true;
      if (C("ying").visible) {
        C("ying").visible = false;
        C("zz").visible = true;
      }
      break;

    case 9:
      PaintTab(9, true, 32);
      // Re-selecting the play view (the link handlers do) must not paint its own
      // tab as unselected.
      if (CurrentView != 9) PaintTab(CurrentView, false, 32);
      C("npc", CurrentView).enabled = true;
      C("npc", 9).enabled = false;
      CurrentView = 9;
      C("Pic1").visible = C("wait").visible = C("Pic3").visible = false;
      if (PlaySource == 1) {
        npc_Click(11);
      } else if (PlaySource == 2) {
        npc_Click(12);
      } else {
        C(LocalListSelected() ? "Pic4" : "Pic5").visible = true;
      }
      if (PlaysInPage == 1) {
        C("qvod").visible = false;
        C("Pic2").visible = true;
      } else {
        C("qvod").visible = true;
        C("Pic2").visible = false;
        Navigate2("Web2", "about:blank");
      }
      if (C("ying").visible) {
        C("ying").visible = false;
        C("zz").visible = true;
      }
      break;

    case 11:
      SetFrame(C("npc", 11), 9, 0, 57, 20);
      SetFrame(C("npc", 12), 9, 57, 57, 20);
      C(CurrentView == 9 ? "Pic5" : "Pic3").visible = true;
      C("Pic4").visible = false;
      C("qk").SetCaption("∴ 管理任务");
      C("npc", 11).enabled = false;
      C("npc", 12).enabled = true;
      break;

    case 12:
      SetFrame(C("npc", 12), 9, 114, 57, 20);
      SetFrame(C("npc", 11), 9, 171, 57, 20);
      C("qk").SetCaption("∴ 清空列表");
      C("Pic4").visible = true;
      C("Pic5").visible = C("Pic3").visible = false;
      C("npc", 11).enabled = true;
      C("npc", 12).enabled = false;
      break;

    case 13:
    case 14: {
      const int section = index == 13 ? 1 : 2;
      if (LoadedSection != section) Navigate2("Web9", portal.Section(index == 13 ? "/tv" : "/yy"));
      LoadedSection = section;
      if (index == 13) {
        int state = ports.player ? ports.player->PlayState() : 0;
        if (state != 0 && state != 1) bo_but_Click(1);
      }
      PaintTab(index, true, 35);
      if (CurrentView != index) PaintTab(CurrentView, false, 35);
      C("npc", CurrentView).enabled = true;
      C("npc", index).enabled = false;
      CurrentView = index;
      C("zz").visible = false;
      C("ying").visible = true;
      break;
    }

    case 15: {
      if (CurrentView > 9) break;
      npc_Click(9);
      if (window.state != forms::WindowState::Normal) {
        window.state = forms::WindowState::Normal;
        if (ports.window) ports.window->ShowNormal();
      }
      zhi_d(1);
      CompactMode = 1;
      C("bo_name").visible = C("ni_name").visible = C("l2").visible = false;
      for (int i = 0; i <= 16; ++i) C("npc", i).visible = false;
      for (int i = 0; i <= 8; ++i) C("bo_but", i).visible = false;
      C("yin").visible = false;
      C("ni_bo1").visible = true;
      C("jbi").visible = true;
      C("jbi").caption = "x";
      if (T("Timer7").enabled()) {
        T("Timer7").SetEnabled(false);
        if (auto* shown = Find("Lab2", ToNumber(C("Lab", 0).caption))) shown->visible = false;
      }
      SetWindowSize(5800, 4800);
      NormalFrame(15);
      break;
    }

    case 16: {
      auto& b = C("npc", 16);
      SetFrame(b, 20, 0, 54, 38);
      if (ports.menus) ports.menus->Popup("r_m", b.x + 20, b.y + 25);
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
  if (ports.window) ports.window->SetCursor(0);
  auto& b = C("npc", index);
  const bool over = x >= 0 && x <= b.w && y >= 0 && y <= b.h;
  const bool drawsHover = index <= 5 || index == 7 || index == 15 || index == 16;
  if (over) {
    if (drawsHover) HoverFrame(index);
    Capture = b.key;
    if (index <= 5 || index == 15) {
      auto& tip = C("bo_tip");
      tip.SetCaption(b.tooltip);
      tip.Move(2, 2);
      C("p1").Move(b.x - 5, b.y + b.h + 3, tip.w + 5, tip.h + 5);
      C("p1").visible = true;
    }
  } else {
    if (drawsHover) NormalFrame(index);
    Capture.reset();
    C("p1").visible = false;
  }
}

}  // namespace tavlin::shell
