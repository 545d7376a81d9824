// Placement of every region of the frameless main window, recomputed on each size
// change from the window's size and the three toggles (side bar, side panel,
// compact mode).
#include <algorithm>

#include "core/base/text.h"
#include "core/forms/rounded_region.h"
#include "core/shell/ba1.h"
#include "core/shell/skin_frames.h"
#include "core/shell/skin_geometry.h"

namespace tavlin::shell {

using forms::Blit;

namespace {
void FillWithOverhang(forms::Control& view, const forms::Control& container, int dw, int dh) {
  view.Move(-2, -2, container.w + dw, container.h + dh);
}
}  // namespace

void BA1::SetWindowSize(int widthTwips, int heightTwips) {
  window.w = forms::TwipsToPixels(std::max(widthTwips, 0));
  window.h = forms::TwipsToPixels(std::max(heightTwips, 0));
  ports.window.SetSize(window.w, window.h);
  Form_Resize();
}

void BA1::OnResized(int w, int h) {
  if (w == window.w && h == window.h) return;
  window.w = w;
  window.h = h;
  Form_Resize();
}

void BA1::OnStateChanged(forms::WindowState newState) {
  if (newState == window.state) return;
  window.state = newState;
  // The restore button follows a maximise or restore made by the window system.
  if (newState != forms::WindowState::Minimized) {
    npc[1].tooltip = newState == forms::WindowState::Maximized ? "还原" : "最大化";
    NormalFrame(1);
  }
  Form_Resize();
}

void BA1::Form_Resize() {
  if (Minimized()) return;
  if (CompactMode == 1) {
    LayoutCompact();
    return;
  }
  window.minW = forms::TwipsToPixels(13000);
  window.minH = forms::TwipsToPixels(7000);
  if (!Maximized()) {
    bool snapped = false;
    if (Width() < 13000) window.w = forms::TwipsToPixels(13000), snapped = true;
    if (Height() < 7000) window.h = forms::TwipsToPixels(7000), snapped = true;
    if (snapped) ports.window.SetSize(window.w, window.h);
  }
  PaintFrame();
  LayoutButtons();
  LayoutMainArea();
  LayoutSidePanel();
  ni_name.Move(40, 22);
  l3.Move(0, 0, l2.w, l2.h);
  shan.Move(0, l3.h - 20, l3.w, 20);
  qk.Move(shan.w - 80, 6);
  auto& line = Line1;
  line.w = shan.w - line.x;
  qvod_Resize();
  const int noticeLeft = (times.x - 100) / 2;
  for (int i = 0; i <= 3; ++i) Lab2[i].Move(noticeLeft, 3);
}

void BA1::PaintFrame() {
  const int W = window.w, H = window.h;
  background.clear();
  background.push_back({0, 0, 55, 35, 8, 0, 55, 35, H - 55});
  background.push_back({0, 45, 55, 35, 8, W - 35, 55, 35, H - 55});
  background.push_back({0, 35, 63, 10, 45, 35, H - 45, W - 70, 45});
  background.push_back({0, 0, 63, 35, 45, 0, H - 45, 35, 45});
  background.push_back({0, 45, 63, 35, 45, W - 35, H - 45, 35, 45});
  background.push_back({0, 40, 0, 10, 55, 40, 0, W - 70, 55});
  background.push_back({0, 0, 0, 40, 55, 0, 0, 40, 55});
  background.push_back({0, 50, 0, 30, 55, W - 30, 0, 30, 55});
  const auto plate = kStripSizes[3];
  background.push_back({3, 0, 0, plate.w, plate.h, W - 247, H - 36, plate.w, plate.h});
  roundedCorners = true;
  ports.window.SetShape(RoundedCornerRegion(W, H));
}

void BA1::LayoutButtons() {
  const int W = window.w, H = window.h;
  auto row = [&](int index, int left, int width) { npc[index].Move(left, 0, width, 19); };
  row(2, W - 38, 33);
  row(1, npc[2].x - 24, 24);
  row(0, npc[1].x - 24, 24);
  row(5, npc[0].x - 24, 24);
  row(3, npc[5].x - 24, 24);
  row(15, npc[3].x - 24, 24);
  row(4, npc[15].x - 21, 21);

  int left = 200;
  for (int tab : {8, 9, 13, 14}) {
    npc[tab].Move(left, 18, 80, 32);
    left += 92;
  }
  npc[7].Move(147, 9, 10, 10);
  zz.Move(2, 51, W - 4, H - 90);
  ying.Move(2, 51, zz.w, zz.h);
  FillWithOverhang(Web9, ying, 4, 4);

  const int Y = H - 36;
  npc[16].Move(10, Y - 2, 45, 38);
  bo_but[1].Move((W - 120) / 2, Y + 5);
  bo_but[5].Move(bo_but[1].x + 29, Y + 5);
  bo_but[0].Move(bo_but[5].x + 27, Y);
  bo_but[7].Move(bo_but[0].x + 41, Y + 5);
  bo_but[2].Move(bo_but[7].x + 30, Y + 5);
  yin.Move(bo_but[2].x + 26, Y + 5);
  bo_but[8].Move(W - 47, Y + 3);
  bo_but[3].Move(bo_but[8].x - 26, Y + 3);
  bo_but[4].Move(bo_but[3].x - 26, Y + 3);
  bo_but[6].Move(bo_but[4].x - 26, Y + 4);
  bo_name.Move(100, Y + 8);
  // It ends before the buttons in the middle; a narrower window cuts it with "…".
  bo_name.maxWidth = std::max(bo_but[1].x - 8 - bo_name.x, 1);
  bo_name.SetCaption(bo_name.caption);
}

void BA1::LayoutMainArea() {
  auto& handle = npc[6];
  auto& pic1 = Pic1;
  handle.w = 3;
  handle.h = 40;
  l2.Move(zz.w - 162, 0, 162, zz.h);
  if (handle.tooltip == "关闭侧栏") {
    handle.x = zz.w - 160;
    L1.Move(0, 0, handle.x, zz.h);
    pic1.Move(0, 0, L1.w - 1, L1.h);
    handle.frame = SideBarHandleFrame(true);
  } else {
    handle.x = zz.w - 4;
    L1.Move(0, 0, zz.w, zz.h);
    pic1.Move(0, 0, L1.w, L1.h);
    handle.frame = SideBarHandleFrame(false);
  }
  handle.y = (zz.h - 40) / 2;
  Pic2.Move(0, 0, pic1.w, pic1.h);
  wait.Move(0, 0, pic1.w, pic1.h);
  jia.Move((wait.w - jia.w) / 2, (wait.h - jia.h) / 2 - 20);
  FillWithOverhang(Web1, pic1, 4, 4);
  FillWithOverhang(Web2, pic1, 4, 4);
  webe.Move(jia.x + 40, jia.y + jia.h + 4);
}

void BA1::LayoutSidePanel() {
  auto& panel = u_k;
  panel.Move(0, 0, 163, 46);
  FillWithOverhang(Weby, panel, 4, 4);
  auto& bar = npc[10];
  if (npc[7].tooltip.find("打开") != std::string::npos) {
    panel.visible = false;
    bar.Move(0, 0, 162, 25);
  } else {
    panel.visible = true;
    bar.Move(0, 46, 162, 25);
  }
  // The tab bar is a 3-pixel column of its strip stretched over the bar.
  bar.frame = {};
  bar.blits = {{10, 0, 0, 3, 25, 0, 0, 163, 25}};
  NormalFrame(7);
  npc[11].Move(10, 5, 57, 20);
  npc[12].Move(80, 5, 57, 20);
  l2.Move(zz.w - 162, 0, 162, zz.h);
  l3.Move(0, 0, l2.w, l2.h);
  const int top = bar.y + bar.h + 2;
  const int height = l3.h - bar.h - bar.y - shan.h;
  for (forms::Control* pic : {&Pic3, &Pic4, &Pic5}) pic->Move(0, top, l3.w, height);
  FillWithOverhang(Web3, Pic3, 2, 4);
  FillWithOverhang(Web4, Pic5, 2, 4);
  FillWithOverhang(Web5, Pic5, 2, 4);
}

void BA1::LayoutCompact() {
  window.minW = forms::TwipsToPixels(4100);
  window.minH = forms::TwipsToPixels(3000);
  bool snapped = false;
  if (Width() < 4100) window.w = window.minW, snapped = true;
  if (Height() < 3000) window.h = window.minH, snapped = true;
  if (snapped) ports.window.SetSize(window.w, window.h);
  const int W = window.w, H = window.h;
  background = {
      {0, 0, 78, 7, 10, 0, 20, 7, H - 27},    {0, 73, 78, 7, 10, W - 7, 20, 7, H - 27},
      {0, 35, 23, 10, 7, 3, H - 7, W - 6, 7}, {0, 0, 101, 3, 7, 0, H - 7, 3, 7},
      {0, 73, 23, 7, 7, W - 7, H - 7, 7, 7},  {0, 35, 0, 10, 20, 7, 0, W - 14, 20},
      {0, 0, 0, 7, 20, 0, 0, 7, 20},          {0, 73, 0, 7, 20, W - 7, 0, 7, 20},
  };
  roundedCorners = true;
  ports.window.SetShape(RoundedCornerRegion(W, H));
  jbi.Move(W - jbi.w - 13, 0);
  ShowCompactTitle();
  ni_bo1.Move(13, 5);
  zz.Move(2, 20, W - 4, H - 23);
  L1.Move(0, 0, zz.w, zz.h);
  auto& pic2 = Pic2;
  pic2.Move(0, 0, L1.w, L1.h);
  Web2.Move(-2, -20, pic2.w + 4, pic2.h + 20);
  qvod_Resize();
}

void BA1::ShowCompactTitle() {
  if (!bo_name.caption.empty()) ni_name.SetCaption(bo_name.caption);
  ni_bo1.tooltip = bo_name.tooltip;
  const int room = jbi.x - 50;
  if (room < ni_name.w) {
    ni_bo1.autoSize = false;
    ni_bo1.wordWrap = true;
    ni_bo1.caption = ni_name.caption;
    ni_bo1.w = room;
    ni_bo1.h = 2 * (ni_bo1.fontPixels + 2);
  } else {
    ni_bo1.autoSize = true;
    ni_bo1.wordWrap = false;
    ni_bo1.SetCaption(ni_name.caption);
  }
}

void BA1::qvod_Resize() {
  if (Minimized()) return;
  auto& pic2 = Pic2;
  qvod.Move(0, 0, pic2.w, pic2.h);
  const int W = qvod.w, H = qvod.h;
  gunt.Move(0, H - gunt.h, W, gunt.h);
  auto& strip = bo_zt;
  strip.Move(0, gunt.y - strip.h, W, strip.h);
  auto& video = QvodC;
  video.Move(0, 0, W, strip.y);
  auto& cover = bo_ad;
  cover.Move(0, 0, video.w, video.h);
  adp.Move((cover.w - adp.w) / 2, (cover.h - adp.h) / 2);
  auto& frame = ad_huan;
  frame.Move((cover.w - 450) / 2, (cover.h - 260) / 2);
  Web7.Move(-2, -2, frame.w + 4, frame.h + 4);
  next_s.Move(adp.x, adp.y + adp.h + 10);
  auto& label = zhun;
  if (CompactMode == 1) {
    label.autoSize = true;
    label.SetCaption(label.caption);
    label.Move(13, 3);
  } else {
    label.autoSize = false;
    label.Move(13, 3, 120, label.h);
  }
  times.Move(W - times.w - 13, 3);
  huan.Move(0, 0);
}

}  // namespace tavlin::shell
