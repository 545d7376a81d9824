// The frameless window: moving and edge resizing through the mouse events of the
// window's own surface, the double click, top-most, skins and leaving compact mode.
#include "core/base/config.h"
#include "core/base/text.h"
#include "core/shell/ba1.h"
#include "core/shell/skin_geometry.h"

namespace tavlin::shell {

namespace {
const forms::Rgb kWhite{255, 255, 255};
const forms::Rgb kListText = forms::Rgb::FromBgr(0x5A5A5A);
const forms::Rgb kHoverRed = forms::Rgb::FromBgr(128);
constexpr int kBand = 3;
constexpr int kLeftButton = 1;
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
  if (ports.window) ports.window->SetVisible(visible);
}

void BA1::EdgeResizeHit(int mode, int x, int y) {
  window.cursor = 0;
  if (ports.window) ports.window->SetCursor(0);
  if (mode == 2) {
    if (EdgeResizeActive != 0 && PointerInInterior == 0) EdgeResizeActive = 0;
    return;
  }
  const EdgeZone zone = EdgeZoneAt(x, y, window.w, window.h);
  window.cursor = zone.cursor;
  if (ports.window) ports.window->SetCursor(zone.cursor);
  if (mode == 1 && zone.hit != 0) {
    EdgeResizeActive = -1;
    resizeStartedByPress_ = true;
    if (ports.window) ports.window->StartSystemMoveResize(zone.hit);
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
    WriteIni(IniPath, "S_q", "h_w", std::to_string(Width()));
    WriteIni(IniPath, "S_q", "h_h", std::to_string(Height()));
  }
}

void BA1::Form_MouseMove(int button, int x, int y) {
  C("jbi").fore = kWhite;
  C("qk").fore = kListText;
  const int W = window.w, H = window.h;
  const bool inside = x >= 0 && x <= W && y >= 0 && y <= H;
  const bool onBand = EdgeZoneAt(x, y, W, H).hit != 0;
  if (button != kLeftButton && inside && onBand) {
    EdgeResizeHit(0, x, y);
    PointerInInterior = 0;
    return;
  }
  window.cursor = 0;
  if (ports.window) ports.window->SetCursor(0);
  PointerInInterior = -1;
  if (!Maximized() && button == kLeftButton && x > kBand && y > kBand && x < W - kBand) {
    Capture.reset();
    if (ports.window) ports.window->StartSystemMoveResize(kHitCaption);
  }
}

void BA1::Form_MouseUp(int button, int x, int y) {
  (void)button;
  EdgeResizeHit(2, x, y);
  PointerInInterior = 0;
}

void BA1::Form_DblClick() {
  if (CompactMode == 0) npc_Click(1);
}

void BA1::zhi_d(int flag) {
  window.topmost = flag == 1;
  if (ports.window) ports.window->SetTopmost(flag == 1);
}

void BA1::p_p(int skin) {
  if (skin == 0) C("L1").back = forms::Rgb{0, 38, 81};
  if (skin == 1) C("L1").back = forms::Rgb{51, 51, 51};
  C("zz").back = C("L1").back;
  // Only two skins have pictures; any other number keeps the strips loaded.
  if (skin >= 0 && skin < kSkinCount) LoadedSkin = skin;
  if (SkinApplied == 1) {
    PaintFrame();
    LayoutMainArea();
    NormalFrame(7);
    WriteIni(IniPath, "Skin", "Num", std::to_string(skin));
  }
  SkinApplied = 1;
  PaintButtons();
  if (LocalListSelected()) npc_Click(12);
  npc_Click(CurrentView);
}

void BA1::PaintButtons() {
  auto set = [&](const char* name, int i, int strip, int x, int w, int h) { SetFrame(C(name, i), strip, x, w, h); };
  set("npc", 2, 1, 120, 33, 19);
  Maximized() ? set("npc", 1, 5, 0, 24, 19) : set("npc", 1, 1, 96, 24, 19);
  set("npc", 0, 1, 72, 24, 19);
  set("npc", 5, 1, 48, 24, 19);
  set("npc", 3, 1, 24, 24, 19);
  set("npc", 15, 1, 0, 24, 19);
  set("npc", 4, 6, C("npc", 4).tooltip == "置顶" ? 0 : 42, 21, 19);
  set("npc", 7, 4, 50, 50, 20);
  set("npc", 9, 8, 0, 80, 32);
  set("npc", 8, 8, 80, 80, 32);
  set("npc", 13, 8, 160, 80, 32);
  set("npc", 14, 8, 240, 80, 32);
  auto& bar = C("npc", 10);
  bar.frame = {};
  bar.blits = {{10, 0, 0, 3, 25, 0, 0, 163, 25}};
  set("npc", 11, 9, 0, 57, 20);
  set("npc", 12, 9, 57, 57, 20);
  set("npc", 16, 20, 0, 45, 38);
  set("bo_but", 0, 12, 0, 38, 33);
  set("bo_but", 1, 13, 0, 25, 24);
  set("bo_but", 2, 14, 0, 25, 24);
  set("bo_but", 8, 16, 75, 25, 24);
  set("bo_but", 3, 16, 50, 25, 24);
  set("bo_but", 4, 16, 25, 25, 24);
  set("bo_but", 6, 16, 0, 25, 24);
  set("bo_but", 5, 18, 0, 25, 24);
  set("bo_but", 7, 18, 50, 25, 24);
  SetFrame(C("yin"), 15, 0, kStripSizes[15].w, kStripSizes[15].h);
  SetFrame(C("bo_v"), 19, 0, kStripSizes[19].w, kStripSizes[19].h);
}

void BA1::jbi_Click() {
  CompactMode = 0;
  if (C("npc", 4).tooltip == "置顶") zhi_d(0);
  C("ni_name").SetCaption(kMainCaption);
  C("bo_name").visible = C("ni_name").visible = true;
  C("ni_bo1").visible = C("jbi").visible = false;
  C("l2").visible = C("npc", 6).tooltip == "关闭侧栏";
  for (int i = 0; i <= 16; ++i) C("npc", i).visible = true;
  for (int i = 0; i <= 8; ++i) C("bo_but", i).visible = true;
  C("yin").visible = true;
  SavedWidth = ToNumber(ReadIni(IniPath, "S_q", "h_w", "0"));
  SavedHeight = ToNumber(ReadIni(IniPath, "S_q", "h_h", "0"));
  SetWindowSize(SavedWidth, SavedHeight);
  const int sw = ports.screen ? ports.screen->ScreenWidth() : window.w;
  const int sh = ports.screen ? ports.screen->ScreenHeight() : window.h;
  window.x = (sw - window.w) / 2;
  window.y = (sh - window.h) / 2;
  if (ports.window) ports.window->SetGeometry(window.x, window.y, window.w, window.h);
  if (NoticeSwitch == 1) T("Timer7").SetEnabled(true);
}

void BA1::Control_MouseMove(const std::string& name) {
  window.cursor = 0;
  if (ports.window) ports.window->SetCursor(0);
  if (name == "jbi") {
    C("jbi").fore = kHoverRed;
  } else if (name == "qk") {
    C("qk").fore = kHoverRed;
  } else if (name == "shan") {
    C("qk").fore = kListText;
  } else if (name == "bo_ad") {
    C("jbi").fore = kWhite;
  } else if (name == "zz" || name == "u_k") {
    // pointer only
  } else {
    C("jbi").fore = kWhite;
    C("qk").fore = kListText;
  }
}

}  // namespace tavlin::shell
