// The navigation bar: the window commands and view switches of its buttons, each by
// name, npc_Click reaching them by index, and the hover feedback of the buttons.
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
  switch (index) {
    case kNpcMinimise: Minimise(); break;
    case kNpcMaximise: ToggleMaximised(); break;
    case kNpcClose: CloseWindow(); break;
    case kNpcSkinMenu: PopupSkinMenu(); break;
    case kNpcPin: TogglePin(); break;
    case kNpcProgramMenu: PopupProgramMenu(); break;
    case kNpcSidebar: ToggleSidebar(); break;
    case kNpcBanner: ToggleBanner(); break;
    case kNpcBrowseTab: ShowBrowseView(); break;
    case kNpcPlayTab: ShowPlayView(); break;
    case kNpcTabBar: EndNavigationHover(); break;
    case kNpcNetworkList: ShowNetworkList(); break;
    case kNpcLocalList: ShowLocalList(); break;
    case kNpcTvTab:
    case kNpcFilmTab: ShowSection(index); break;
    case kNpcCompact: EnterCompactMode(); break;
    case kNpcCornerMenu: PopupCornerMenu(); break;
    default: break;
  }
}

// Every button of the bar ends the hover feedback first: the drawn tooltip and the
// hover colours of the two labels.
void BA1::EndNavigationHover() {
  p1.visible = false;
  jbi.fore = kWhite;
  qk.fore = kListText;
}

void BA1::Minimise() {
  EndNavigationHover();
  window.state = forms::WindowState::Minimized;
  ports.window.ShowMinimized();
  NormalFrame(kNpcMinimise);
}

void BA1::ToggleMaximised() {
  EndNavigationHover();
  auto& b = npc[kNpcMaximise];
  if (Maximized()) {
    window.state = forms::WindowState::Normal;
    b.tooltip = "最大化";
    NormalFrame(kNpcMaximise);
    ports.window.ShowNormal();
  } else {
    window.state = forms::WindowState::Maximized;
    b.tooltip = "还原";
    NormalFrame(kNpcMaximise);
    ports.window.ShowMaximized();
  }
}

void BA1::CloseWindow() {
  EndNavigationHover();
  NormalFrame(kNpcClose);
  CloseAsk = ReadIni(IniPath, ini_keys::kCloseAsk);
  CloseAction = ReadIni(IniPath, ini_keys::kCloseAction);
  if (ToNumber(CloseAsk) != 3) {
    if (ToNumber(CloseAction) == 1) {
      exit_.ttt_v();
    } else {
      CloseToTray();
    }
    return;
  }
  const Answer a = ports.dialogs.AskYesNo("关闭 Tavlin 最小化到托盘吗？", "提示：");
  // Esc or the box's own close button: no answer, so nothing closes and the
  // question comes again next time.
  if (a == Answer::Cancel) return;
  SaveSetting(ini_keys::kCloseAsk, "1");
  if (a == Answer::Yes) {
    SaveSetting(ini_keys::kCloseAction, "2");
    CloseToTray();
  } else {
    SaveSetting(ini_keys::kCloseAction, "1");
    exit_.ttt_v();
  }
}

void BA1::PopupMenuUnder(int index, const char* menu) {
  EndNavigationHover();
  NormalFrame(index);
  auto& b = npc[index];
  ports.menus.Popup(menu, b.x - 15, b.y + 20);
}

void BA1::PopupSkinMenu() { PopupMenuUnder(kNpcSkinMenu, "pifu"); }

void BA1::TogglePin() {
  EndNavigationHover();
  auto& b = npc[kNpcPin];
  if (b.tooltip == "置顶") {
    zhi_d(1);
    b.tooltip = "取消置顶";
  } else {
    zhi_d(0);
    b.tooltip = "置顶";
  }
  NormalFrame(kNpcPin);
}

void BA1::PopupProgramMenu() { PopupMenuUnder(kNpcProgramMenu, "r_m"); }

void BA1::ToggleSidebar() {
  EndNavigationHover();
  auto& b = npc[kNpcSidebar];
  if (b.tooltip == "关闭侧栏") {
    b.tooltip = "显示侧栏";
    l2.visible = false;
  } else {
    l2.visible = true;
    b.tooltip = "关闭侧栏";
  }
  LayoutMainArea();
  qvod_Resize();
}

void BA1::ToggleBanner() {
  EndNavigationHover();
  auto& b = npc[kNpcBanner];
  b.tooltip = b.tooltip.find("关闭") != std::string::npos ? "打开" : "关闭";
  LayoutSidePanel();
}

void BA1::ShowBrowseView() {
  EndNavigationHover();
  PaintTab(kNpcBrowseTab, true, 32);
  PaintTab(kNpcPlayTab, false, 32);
  if (CurrentView == kNpcTvTab || CurrentView == kNpcFilmTab) PaintTab(CurrentView, false, 32);
  npc[CurrentView].enabled = true;
  npc[kNpcBrowseTab].enabled = false;
  CurrentView = kNpcBrowseTab;
  Pic1.visible = true;
  Pic2.visible = qvod.visible = Pic5.visible = false;
  (LocalListSelected() ? Pic4 : Pic3).visible = true;
  if (ying.visible) {
    ying.visible = false;
    zz.visible = true;
  }
}

void BA1::ShowPlayView() {
  EndNavigationHover();
  PaintTab(kNpcPlayTab, true, 32);
  // Re-selecting the play view (the link handlers do) must not paint its own
  // tab as unselected.
  if (CurrentView != kNpcPlayTab) PaintTab(CurrentView, false, 32);
  npc[CurrentView].enabled = true;
  npc[kNpcPlayTab].enabled = false;
  CurrentView = kNpcPlayTab;
  Pic1.visible = wait.visible = Pic3.visible = false;
  if (state.playback.PlaySource == 1) {
    ShowNetworkList();
  } else if (state.playback.PlaySource == 2) {
    ShowLocalList();
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
}

void BA1::ShowNetworkList() {
  EndNavigationHover();
  npc[kNpcNetworkList].frame = ListTabFrame(kNpcNetworkList, false);
  npc[kNpcLocalList].frame = ListTabFrame(kNpcLocalList, false);
  (CurrentView == kNpcPlayTab ? Pic5 : Pic3).visible = true;
  Pic4.visible = false;
  qk.SetCaption("∴ 管理任务");
  npc[kNpcNetworkList].enabled = false;
  npc[kNpcLocalList].enabled = true;
}

void BA1::ShowLocalList() {
  EndNavigationHover();
  npc[kNpcLocalList].frame = ListTabFrame(kNpcLocalList, true);
  npc[kNpcNetworkList].frame = ListTabFrame(kNpcNetworkList, true);
  qk.SetCaption("∴ 清空列表");
  Pic4.visible = true;
  Pic5.visible = Pic3.visible = false;
  npc[kNpcNetworkList].enabled = true;
  npc[kNpcLocalList].enabled = false;
}

void BA1::ShowSection(int index) {
  EndNavigationHover();
  const bool tv = index == kNpcTvTab;
  const int section = tv ? 1 : 2;
  if (LoadedSection != section) Navigate2("Web9", portal.Section(tv ? "/tv" : "/yy"));
  LoadedSection = section;
  if (tv) {
    const int playState = player_.PlayState();
    if (playState != 0 && playState != 1) player_.StopItem();
  }
  PaintTab(index, true, 35);
  if (CurrentView != index) PaintTab(CurrentView, false, 35);
  npc[CurrentView].enabled = true;
  npc[index].enabled = false;
  CurrentView = index;
  zz.visible = false;
  ying.visible = true;
}

void BA1::EnterCompactMode() {
  EndNavigationHover();
  if (CurrentView > kNpcPlayTab) return;
  ShowPlayView();
  if (window.state != forms::WindowState::Normal) {
    window.state = forms::WindowState::Normal;
    ports.window.ShowNormal();
  }
  zhi_d(1);
  CompactMode = 1;
  bo_name.visible = ni_name.visible = l2.visible = false;
  for (int i = 0; i <= kNpcLast; ++i) npc[i].visible = false;
  for (int i = 0; i <= kBoLast; ++i) bo_but[i].visible = false;
  yin.visible = false;
  ni_bo1.visible = true;
  jbi.visible = true;
  jbi.caption = "x";
  if (Timer7.enabled()) {
    Timer7.SetEnabled(false);
    if (auto* shown = Lab2.Find(ToNumber(Lab[0].caption))) shown->visible = false;
  }
  SetWindowSize(5800, 4800);
  NormalFrame(kNpcCompact);
}

void BA1::PopupCornerMenu() {
  EndNavigationHover();
  auto& b = npc[kNpcCornerMenu];
  SetFrame(b, 20, 0, 54, 38);
  ports.menus.Popup("r_m", b.x + 20, b.y + 25);
}

void BA1::npc_MouseMove(int index, int button, int x, int y) {
  (void)button;
  if (index < 0 || index > kNpcLast) return;
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
