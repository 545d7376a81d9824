// Geometry of the main window for several sizes, normal, maximised and compact.
#include <gtest/gtest.h>

#include "core/shell/ba1.h"
#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::MainWindowFixture;

struct Box {
  const char* name;
  std::optional<int> index;
  int x, y, w, h;
};

void ExpectBoxes(shell::BA1& f, const std::vector<Box>& boxes) {
  for (const auto& b : boxes) {
    const auto& c = f.C(b.name, b.index);
    SCOPED_TRACE(std::string(b.name) + (b.index ? "(" + std::to_string(*b.index) + ")" : ""));
    EXPECT_EQ(c.x, b.x);
    EXPECT_EQ(c.y, b.y);
    EXPECT_EQ(c.w, b.w);
    EXPECT_EQ(c.h, b.h);
  }
}

// The points the program fixes, at the designed size.
TEST(Layout, DesignedSizePlacesTheFixedPoints) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  EXPECT_EQ(f.window.w, 1000);
  EXPECT_EQ(f.window.h, 640);
  ExpectBoxes(f, {{"npc", 2, 962, 0, 33, 19},
                  {"npc", 8, 200, 18, 80, 32},
                  {"npc", 7, 147, 9, 10, 10},
                  {"zz", {}, 2, 51, 996, 550},
                  {"l2", {}, 834, 0, 162, 550},
                  {"npc", 6, 836, 255, 3, 40},
                  {"Pic1", {}, 0, 0, 835, 550},
                  {"npc", 16, 10, 602, 45, 38},
                  {"bo_but", 1, 440, 609, 25, 24},
                  {"bo_but", 0, 496, 604, 38, 33},
                  {"bo_but", 8, 953, 607, 25, 24},
                  {"npc", 10, 0, 0, 162, 25},
                  {"Pic3", {}, 0, 27, 162, 505},
                  {"shan", {}, 0, 530, 162, 20},
                  {"u_k", {}, 0, 0, 163, 46}});
}

TEST(Layout, BelowTheMinimumTheWindowSnapsTo13000By7000Twips) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.OnResized(500, 300);
  EXPECT_EQ(f.window.w, 867);
  EXPECT_EQ(f.window.h, 467);
  EXPECT_EQ(fx.host.size, (std::pair{867, 467}));
}

// What holds at every size: the rows stay in order and touch where they should,
// the regions tile the window, every view overhangs its frame by two pixels.
TEST(Layout, RegionsTileTheWindowAtEverySize) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  for (int W = 867; W <= 1920; W += 53) {
    for (int H = 467; H <= 1200; H += 97) {
      f.OnResized(W, H);
      SCOPED_TRACE(std::to_string(W) + "x" + std::to_string(H));
      ASSERT_EQ(f.window.w, W);
      ASSERT_EQ(f.window.h, H);
      // The window buttons: left to right, touching, the last 5 pixels from the edge.
      const int row[] = {4, 15, 3, 5, 0, 1, 2};
      for (int i = 0; i + 1 < 7; ++i) EXPECT_EQ(f.npc[row[i]].x + f.npc[row[i]].w, f.npc[row[i + 1]].x);
      EXPECT_EQ(f.npc[2].x + f.npc[2].w, W - 5);
      // The view tabs never move.
      for (int k = 0; int tab : {8, 9, 13, 14}) EXPECT_EQ(f.npc[tab].x, 200 + 92 * k++);
      // The view area and the section view fill the window inside the frame.
      EXPECT_EQ(f.zz.w, W - 4);
      EXPECT_EQ(f.zz.h, H - 90);
      EXPECT_EQ(f.ying.w, f.zz.w);
      // The side panel sits at the right edge; the main area ends at the handle.
      EXPECT_EQ(f.l2.x + f.l2.w, f.zz.w);
      EXPECT_EQ(f.L1.w, f.npc[6].x);
      EXPECT_LE(std::abs(f.npc[6].y * 2 + f.npc[6].h - f.zz.h), 1) << "the handle is centred";
      // The player area stacks video, status strip and seek bar, full width.
      EXPECT_EQ(f.qvod.w, f.Pic2.w);
      EXPECT_EQ(f.QvodC.h, f.bo_zt.y);
      EXPECT_EQ(f.bo_zt.y + f.bo_zt.h, f.gunt.y);
      EXPECT_EQ(f.gunt.y + f.gunt.h, f.qvod.h);
      EXPECT_EQ(f.times.x + f.times.w, f.qvod.w - 13);
      // The player row: centred group left to right, right-hand group at the edge.
      EXPECT_EQ(f.bo_but[1].x, (W - 120) / 2);
      const forms::Control* centre[] = {&f.bo_but[1], &f.bo_but[5], &f.bo_but[0], &f.bo_but[7], &f.bo_but[2], &f.yin};
      for (int i = 0; i + 1 < 6; ++i) EXPECT_LT(centre[i]->x + centre[i]->w, centre[i + 1]->x);
      const forms::Control* right[] = {&f.bo_but[6], &f.bo_but[4], &f.bo_but[3], &f.bo_but[8]};
      for (int i = 0; i + 1 < 4; ++i) EXPECT_EQ(right[i]->x + 26, right[i + 1]->x);
      EXPECT_LT(f.yin.x + f.yin.w, f.bo_but[6].x);
      // Views overhang their frames by two pixels on each side.
      for (auto [view, frame] : {std::pair{&f.Web1, &f.Pic1}, {&f.Web2, &f.Pic1}, {&f.Web9, &f.ying}}) {
        EXPECT_EQ(view->x, -2);
        EXPECT_EQ(view->w, frame->w + 4);
        EXPECT_EQ(view->h, frame->h + 4);
      }
      // The lists fill the panel between the tab bar and the list switch.
      EXPECT_EQ(f.Pic3.y + f.Pic3.h + f.shan.h, f.l3.h + 2);
      EXPECT_EQ(f.shan.y + f.shan.h, f.l3.h);
    }
  }
}

TEST(Layout, MaximisedWindowFillsTheWorkAreaAndIsNeverSnapped) {
  MainWindowFixture fx;
  fx.host.work = {0, 0, 800, 400};  // smaller than the normal minimum
  auto& f = fx.Load();
  f.npc_Click(1);
  EXPECT_TRUE(f.Maximized());
  EXPECT_EQ(f.window.w, 800);
  EXPECT_EQ(f.window.h, 400);
  ExpectBoxes(f, {{"npc", 2, 762, 0, 33, 19}, {"zz", {}, 2, 51, 796, 310}, {"bo_but", 1, 340, 369, 25, 24}});
  EXPECT_EQ(f.C("npc", 1).tooltip, "还原");
  EXPECT_EQ(f.C("npc", 1).frame, (forms::Frame{5, 0, 0, 24, 19}));
  f.npc_Click(1);
  EXPECT_EQ(f.C("npc", 1).tooltip, "最大化");
  EXPECT_EQ(f.window.w, 1000);
}

TEST(Layout, SideBarAndPanelTogglesMoveTheirNeighbours) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.npc_Click(6);  // hide the side bar
  EXPECT_FALSE(f.C("l2").visible);
  ExpectBoxes(f, {{"npc", 6, 992, 255, 3, 40},
                  {"L1", {}, 0, 0, 996, 550},
                  {"Pic1", {}, 0, 0, 996, 550},
                  {"Web1", {}, -2, -2, 1000, 554}});
  EXPECT_EQ(f.C("npc", 6).frame, (forms::Frame{11, 3, 0, 3, 40}));
  f.npc_Click(6);
  EXPECT_TRUE(f.C("l2").visible);
  EXPECT_EQ(f.C("Pic1").w, 835);

  const int closedTop = f.C("Pic3").y, closedHeight = f.C("Pic3").h;
  f.npc_Click(7);  // open the advert panel
  EXPECT_TRUE(f.C("u_k").visible);
  EXPECT_EQ(f.C("npc", 10).y, 46);
  EXPECT_EQ(f.C("Pic3").y, closedTop + 46);
  EXPECT_EQ(f.C("Pic3").h, closedHeight - 46);
  EXPECT_EQ(f.C("npc", 7).frame, (forms::Frame{4, 30, 0, 10, 10}));
}

TEST(Layout, FrameIsEightStretchCopiesAndThePlate) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  ASSERT_EQ(f.background.size(), 9u);
  EXPECT_EQ(f.background[0], (forms::Blit{0, 0, 55, 35, 8, 0, 55, 35, 585}));
  EXPECT_EQ(f.background[2], (forms::Blit{0, 35, 63, 10, 45, 35, 595, 930, 45}));
  EXPECT_EQ(f.background[7], (forms::Blit{0, 50, 0, 30, 55, 970, 0, 30, 55}));
  EXPECT_EQ(f.background[8].dx, 753);
  EXPECT_EQ(f.background[8].dy, 604);
  EXPECT_GT(fx.host.shapes, 0);
}

TEST(Layout, MinimisedWindowIsNotLaidOut) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.npc_Click(0);
  EXPECT_TRUE(f.Minimized());
  const auto before = f.C("zz");
  f.OnResized(200, 100);
  EXPECT_EQ(f.C("zz").w, before.w);
  EXPECT_EQ(f.window.w, 200);  // not snapped either
}

TEST(CompactLayout, EntersAt5800x4800TwipsAndSnapsTo4100x3000) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.npc_Click(15);
  EXPECT_EQ(f.CompactMode, 1);
  EXPECT_EQ(f.window.w, 387);
  EXPECT_EQ(f.window.h, 320);
  ExpectBoxes(f, {{"jbi", {}, 362, 0, 12, 18},
                  {"zz", {}, 2, 20, 383, 297},
                  {"L1", {}, 0, 0, 383, 297},
                  {"Pic2", {}, 0, 0, 383, 297},
                  {"Web2", {}, -2, -20, 387, 317},
                  {"qvod", {}, 0, 0, 383, 297},
                  {"gunt", {}, 0, 290, 383, 7},
                  {"QvodC", {}, 0, 0, 383, 268},
                  {"ad_huan", {}, -33, 4, 450, 260}});
  EXPECT_EQ(f.background.size(), 8u);
  EXPECT_EQ(f.background[0], (forms::Blit{0, 0, 78, 7, 10, 0, 20, 7, 293}));
  EXPECT_EQ(f.C("ni_bo1").x, 13);
  EXPECT_EQ(f.C("ni_bo1").caption, "Tavlin 3.0");

  f.OnResized(100, 100);
  EXPECT_EQ(f.window.w, 274);
  EXPECT_EQ(f.window.h, 200);
  EXPECT_EQ(f.C("jbi").x, 274 - 12 - 13);
}

TEST(CompactLayout, LongTitleWrapsToTheSpaceLeftOfTheRestoreLabel) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.C("bo_name").SetCaption("一部名字很长很长很长很长很长很长很长很长很长很长的电视连续剧 第12集");
  f.npc_Click(15);
  const auto& title = f.C("ni_bo1");
  EXPECT_TRUE(title.wordWrap);
  EXPECT_EQ(title.w, f.C("jbi").x - 50);
  EXPECT_EQ(title.caption, f.C("bo_name").caption);
}

}  // namespace
}  // namespace tavlin
