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

struct SizeCase {
  const char* label;
  int w, h;       // requested client size, pixels
  int W, H;       // size after the minimum-size rule
  std::vector<Box> boxes;
};

class NormalLayout : public ::testing::TestWithParam<SizeCase> {};

TEST_P(NormalLayout, PlacesEveryRegionFromTheWindowSize) {
  const auto& tc = GetParam();
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.OnResized(tc.w, tc.h);
  EXPECT_EQ(f.window.w, tc.W);
  EXPECT_EQ(f.window.h, tc.H);
  ExpectBoxes(f, tc.boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, NormalLayout,
    ::testing::Values(
        SizeCase{"designed",
                 1000, 640, 1000, 640,
                 {{"npc", 2, 962, 0, 33, 19}, {"npc", 1, 938, 0, 24, 19}, {"npc", 0, 914, 0, 24, 19},
                  {"npc", 5, 890, 0, 24, 19}, {"npc", 3, 866, 0, 24, 19}, {"npc", 15, 842, 0, 24, 19},
                  {"npc", 4, 821, 0, 21, 19}, {"npc", 8, 200, 18, 80, 32}, {"npc", 9, 292, 18, 80, 32},
                  {"npc", 13, 384, 18, 80, 32}, {"npc", 14, 476, 18, 80, 32}, {"npc", 7, 147, 9, 10, 10},
                  {"zz", {}, 2, 51, 996, 550}, {"ying", {}, 2, 51, 996, 550}, {"Web9", {}, -2, -2, 1000, 554},
                  {"l2", {}, 834, 0, 162, 550}, {"l3", {}, 0, 0, 162, 550}, {"npc", 6, 836, 255, 3, 40},
                  {"L1", {}, 0, 0, 836, 550}, {"Pic1", {}, 0, 0, 835, 550}, {"Pic2", {}, 0, 0, 835, 550},
                  {"Web1", {}, -2, -2, 839, 554}, {"Web2", {}, -2, -2, 839, 554},
                  {"npc", 16, 10, 602, 45, 38}, {"bo_but", 1, 440, 609, 25, 24}, {"bo_but", 5, 469, 609, 25, 24},
                  {"bo_but", 0, 496, 604, 38, 33}, {"bo_but", 7, 537, 609, 25, 24}, {"bo_but", 2, 567, 609, 25, 24},
                  {"yin", {}, 593, 609, 80, 24}, {"bo_but", 8, 953, 607, 25, 24}, {"bo_but", 3, 927, 607, 25, 24},
                  {"bo_but", 4, 901, 607, 25, 24}, {"bo_but", 6, 875, 608, 25, 24},
                  {"npc", 10, 0, 0, 162, 25}, {"npc", 11, 10, 5, 57, 20}, {"npc", 12, 80, 5, 57, 20},
                  {"Pic3", {}, 0, 27, 162, 505}, {"Pic4", {}, 0, 27, 162, 505}, {"Web3", {}, -2, -2, 164, 509},
                  {"Web4", {}, -2, -2, 164, 509}, {"shan", {}, 0, 530, 162, 20}, {"u_k", {}, 0, 0, 163, 46},
                  {"Weby", {}, -2, -2, 167, 50}}},
        SizeCase{"below the minimum snaps to 13000 x 7000 twips",
                 500, 300, 867, 467,
                 {{"npc", 2, 829, 0, 33, 19}, {"zz", {}, 2, 51, 863, 377}, {"l2", {}, 701, 0, 162, 377},
                  {"L1", {}, 0, 0, 703, 377}, {"bo_but", 1, 373, 436, 25, 24}, {"bo_but", 8, 820, 434, 25, 24},
                  {"Pic3", {}, 0, 27, 162, 332}}},
        SizeCase{"wide",
                 1600, 900, 1600, 900,
                 {{"npc", 2, 1562, 0, 33, 19}, {"npc", 4, 1421, 0, 21, 19}, {"zz", {}, 2, 51, 1596, 810},
                  {"npc", 6, 1436, 385, 3, 40}, {"bo_but", 1, 740, 869, 25, 24}, {"npc", 16, 10, 862, 45, 38},
                  {"qvod", {}, 0, 0, 1435, 810}, {"gunt", {}, 0, 803, 1435, 7}, {"bo_zt", {}, 0, 781, 1435, 22},
                  {"QvodC", {}, 0, 0, 1435, 781}, {"ad_huan", {}, 492, 260, 450, 260}, {"Web7", {}, -2, -2, 454, 264},
                  {"times", {}, 1348, 3, 74, 14}, {"zhun", {}, 13, 3, 120, 12}}}),
    [](const auto& info) { return std::to_string(info.index); });

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
  ExpectBoxes(f, {{"npc", 6, 992, 255, 3, 40}, {"L1", {}, 0, 0, 996, 550}, {"Pic1", {}, 0, 0, 996, 550},
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
  ExpectBoxes(f, {{"jbi", {}, 362, 0, 12, 18}, {"zz", {}, 2, 20, 383, 297}, {"L1", {}, 0, 0, 383, 297},
                  {"Pic2", {}, 0, 0, 383, 297}, {"Web2", {}, -2, -20, 387, 317}, {"qvod", {}, 0, 0, 383, 297},
                  {"gunt", {}, 0, 290, 383, 7}, {"QvodC", {}, 0, 0, 383, 268}, {"ad_huan", {}, -33, 4, 450, 260}});
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
