// The frameless window: moving and edge resizing through the mouse events of the
// window's own surface, the double click, top-most, skins and leaving compact mode.
#include <algorithm>

#include "core/base/config.h"
#include "core/base/text.h"
#include "core/shell/ba1.h"
#include "core/shell/palette.h"
#include "core/shell/skin_frames.h"
#include "core/shell/skin_geometry.h"

namespace tavlin::shell {

namespace {
constexpr int kBand = 3;
}  // namespace

EdgeZone EdgeZoneAt(int x, int y, int w, int h) {
  const int col = x <= kBand ? 0 : x >= w - kBand ? 2 : 1;
  const int row = y <= kBand ? 0 : y >= h - kBand ? 2 : 1;
  static constexpr EdgeZone kZones[3][3] = {
      // row: top, middle, bottom
      {{8, kHitTopLeft}, {9, kHitLeft}, {6, kHitBottomLeft}},     // left column
      {{7, kHitTop}, {0, 0}, {7, kHitBottom}},                    // middle column
      {{6, kHitTopRight}, {9, kHitRight}, {8, kHitBottomRight}},  // right column
  };
  return kZones[col][row];
}

void BA1::ShowWindow(bool visible) {
  window.visible = visible;
  ports.window.SetVisible(visible);
}

void BA1::RestoreFromMinimized() {
  if (!Minimized()) return;
  OnStateChanged(forms::WindowState::Normal);
  ports.window.ShowNormal();
}

void BA1::ShowRestored() {
  if (!window.visible) ShowWindow(true);
  RestoreFromMinimized();
}

void BA1::ComeToFront() {
  ShowRestored();
  ports.window.BringToFront();
}

void BA1::EdgeResizeHit(int mode, int x, int y) {
  window.cursor = 0;
  ports.window.SetCursor(0);
  if (mode == 2) {
    if (EdgeResizeActive != 0 && PointerInInterior == 0) EdgeResizeActive = 0;
    return;
  }
  const EdgeZone zone = EdgeZoneAt(x, y, window.w, window.h);
  window.cursor = zone.cursor;
  ports.window.SetCursor(zone.cursor);
  if (mode == 1 && zone.hit != 0) {
    EdgeResizeActive = -1;
    resizeStartedByPress_ = true;
    ports.window.StartSystemMoveResize(zone.hit);
  }
}

void BA1::Form_MouseDown(int button, int x, int y) {
  (void)button;
  if (Maximized()) return;
  if (EdgeZoneAt(x, y, window.w, window.h).hit == 0) return;
  EdgeResizeHit(1, x, y);
}

void BA1::SystemMoveResizeEnded() {
  if (!resizeStartedByPress_) return;
  resizeStartedByPress_ = false;
  PointerInInterior = 0;
  if (CompactMode == 0) {
    SaveSetting(ini_keys::kSavedWidth, std::to_string(Width()));
    SaveSetting(ini_keys::kSavedHeight, std::to_string(Height()));
  }
}

void BA1::Form_MouseMove(int button, int x, int y) {
  jbi.fore = kWhite;
  qk.fore = kListText;
  const int W = window.w, H = window.h;
  const bool inside = x >= 0 && x <= W && y >= 0 && y <= H;
  const bool onBand = EdgeZoneAt(x, y, W, H).hit != 0;
  if (button != forms::kLeftButton && inside && onBand) {
    EdgeResizeHit(0, x, y);
    PointerInInterior = 0;
    return;
  }
  window.cursor = 0;
  ports.window.SetCursor(0);
  PointerInInterior = -1;
  if (!Maximized() && button == forms::kLeftButton && x > kBand && y > kBand && x < W - kBand) {
    Capture.reset();
    ports.window.StartSystemMoveResize(kHitCaption);
  }
}

void BA1::Form_MouseUp(int button, int x, int y) {
  (void)button;
  EdgeResizeHit(2, x, y);
  PointerInInterior = 0;
}

void BA1::Form_DblClick() {
  if (CompactMode == 0) ToggleMaximised();
}

void BA1::zhi_d(int flag) {
  window.topmost = flag == 1;
  ports.window.SetTopmost(flag == 1);
}

void BA1::p_p(int skin) {
  // Only two skins have pictures; any other number keeps the strips loaded, and
  // the colours that go with them.
  if (skin >= 0 && skin < kSkinCount) LoadedSkin = skin;
  const SkinPalette& s = kSkins[LoadedSkin];
  backColor = s.window;
  zz.back = L1.back = s.window;
  adp.picture = s.cover;
  bo_zt.back = s.status;
  zhun.fore = times.fore = s.statusText;
  gunt.back = s.track;
  huan.back = s.buffered;
  played.back = s.played;
  gunt1.picture = s.thumb;
  bo_y.back = s.volume;
  bo_name.fore = s.title;
  l3.back = s.listBack;
  shan.back = s.listBar;
  Line1.fore = s.listLine;
  for (int i = 0; i <= 3; ++i) Lab2[i].back = s.notice;
  if (SkinApplied == 1) {
    PaintFrame();
    LayoutMainArea();
    NormalFrame(7);
    SaveSetting(ini_keys::kSkin, std::to_string(skin));
  }
  SkinApplied = 1;
  PaintButtons();
  if (LocalListSelected()) ShowLocalList();
  npc_Click(CurrentView);
}

void BA1::PaintButtons() {
  for (int i : {2, 1, 0, 5, 3, 15, 4, 16}) NormalFrame(i);
  // The panel switch starts with a look of its own until the panel is laid out.
  SetFrame(npc[7], 4, 50, 50, 20);
  for (int tab : {9, 8, 13, 14}) PaintTab(tab, false, 32);
  auto& bar = npc[10];
  bar.frame = {};
  bar.blits = {{10, 0, 0, 3, 25, 0, 0, 163, 25}};
  npc[11].frame = ListTabFrame(11, false);
  npc[12].frame = ListTabFrame(12, false);
  for (int i = 0; i <= 8; ++i) {
    if (auto f = BoButFrame(i, false, bo_but[i].tooltip)) bo_but[i].frame = *f;
  }
  SetFrame(yin, 15, 0, kStripSizes[15].w, kStripSizes[15].h);
  SetFrame(bo_v, 19, 0, kStripSizes[19].w, kStripSizes[19].h);
}

void BA1::HidePinWhereNothingStaysAbove() {
  // A pin that keeps nothing above the others would only mislead.
  if (!ports.screen.PlacesWindows()) npc[4].visible = false;
}

void BA1::jbi_Click() {
  CompactMode = 0;
  if (npc[kNpcPin].tooltip == "置顶") zhi_d(0);
  ni_name.SetCaption(kMainCaption);
  bo_name.visible = ni_name.visible = true;
  ni_bo1.visible = jbi.visible = false;
  l2.visible = npc[kNpcSidebar].tooltip == "关闭侧栏";
  for (int i = 0; i <= kNpcLast; ++i) npc[i].visible = true;
  HidePinWhereNothingStaysAbove();
  for (int i = 0; i <= kBoLast; ++i) bo_but[i].visible = true;
  yin.visible = true;
  SavedWidth = ToNumber(ReadIni(IniPath, ini_keys::kSavedWidth));
  SavedHeight = ToNumber(ReadIni(IniPath, ini_keys::kSavedHeight));
  SetWindowSize(SavedWidth, SavedHeight);
  CentreOnScreen();
  if (state.update.NoticeSwitch == 1) Timer7.SetEnabled(true);
}

void BA1::LeaveCompactMode() {
  if (CompactMode == 1) jbi_Click();
}

void BA1::CentreOnScreen() {
  // A size below the minimum (nothing saved) grows to it when shown: centre that.
  const int w = std::max(window.w, window.minW), h = std::max(window.h, window.minH);
  window.x = (ports.screen.ScreenWidth() - w) / 2;
  window.y = (ports.screen.ScreenHeight() - h) / 2;
  ports.window.SetGeometry(window.x, window.y, window.w, window.h);
}

void BA1::Control_MouseMove(const std::string& name) {
  window.cursor = 0;
  ports.window.SetCursor(0);
  if (name == "jbi") {
    jbi.fore = kHoverRed;
  } else if (name == "qk") {
    qk.fore = kHoverRed;
  } else if (name == "shan") {
    qk.fore = kListText;
  } else if (name == "bo_ad") {
    jbi.fore = kWhite;
  } else if (name == "zz" || name == "u_k") {
    // pointer only
  } else {
    jbi.fore = kWhite;
    qk.fore = kListText;
  }
}

}  // namespace tavlin::shell
