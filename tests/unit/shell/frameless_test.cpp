// The frameless frame: zones of the border band, moving, edge resizing, saved size,
// skins and their persistence.
#include <gtest/gtest.h>

#include <cmath>

#include <map>
#include <string>
#include <vector>

#include "core/shell/ba1.h"
#include "core/shell/palette.h"
#include "core/shell/skin_geometry.h"
#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::MainWindowFixture;

TEST(EdgeZones, NineZonesOfTheThreePixelBand) {
  struct Case {
    int x, y, cursor, hit;
  };
  const int W = 1000, H = 640;
  for (const Case& c :
       {Case{0, 300, 9, kHitLeft}, Case{3, 300, 9, kHitLeft}, Case{4, 300, 0, 0}, Case{2, 2, 8, kHitTopLeft},
        Case{1, 639, 6, kHitBottomLeft}, Case{997, 300, 9, kHitRight}, Case{996, 300, 0, 0},
        Case{999, 0, 6, kHitTopRight}, Case{999, 637, 8, kHitBottomRight}, Case{500, 3, 7, kHitTop}, Case{500, 4, 0, 0},
        Case{500, 637, 7, kHitBottom}, Case{500, 636, 0, 0}}) {
    auto zone = shell::EdgeZoneAt(c.x, c.y, W, H);
    EXPECT_EQ(zone.cursor, c.cursor) << c.x << "," << c.y;
    EXPECT_EQ(zone.hit, c.hit) << c.x << "," << c.y;
  }
}

TEST(Frameless, PressOnTheBandResizesAndSavesTheSizeInNormalModeOnly) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.Form_MouseDown(1, 999, 637);
  EXPECT_EQ(fx.host.moveResizeStarts, std::vector<int>{kHitBottomRight});
  EXPECT_EQ(f.EdgeResizeActive, -1);
  f.OnResized(1100, 700);
  f.SystemMoveResizeEnded();
  EXPECT_EQ(fx.Ini("S_q", "h_w"), "16500");
  EXPECT_EQ(fx.Ini("S_q", "h_h"), "10500");
  f.Form_MouseUp(1, 500, 300);
  EXPECT_EQ(f.EdgeResizeActive, 0);

  // Interior presses do nothing; a maximised window ignores the band.
  fx.host.moveResizeStarts.clear();
  f.Form_MouseDown(1, 500, 300);
  f.npc_Click(1);
  f.Form_MouseDown(1, 0, 300);
  EXPECT_TRUE(fx.host.moveResizeStarts.empty());
}

TEST(Frameless, CompactResizeIsNotSaved) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.npc_Click(15);
  f.Form_MouseDown(1, 0, 100);
  f.SystemMoveResizeEnded();
  EXPECT_EQ(fx.Ini("S_q", "h_w"), "<missing>");
}

TEST(Frameless, DragMovesOnlyFromOutsideTheLeftTopAndRightBands) {
  struct Case {
    int button, x, y;
    bool moves;
    int cursor;
  };
  for (const Case& c :
       {Case{1, 100, 20, true, 0}, Case{1, 500, 638, true, 0}, Case{1, 2, 20, false, 0}, Case{1, 998, 20, false, 0},
        Case{1, 500, 2, false, 0}, Case{0, 998, 20, false, 9}, Case{0, 100, 20, false, 0}}) {
    MainWindowFixture fx;
    auto& f = fx.Load();
    f.Form_MouseMove(c.button, c.x, c.y);
    EXPECT_EQ(!fx.host.moveResizeStarts.empty(), c.moves) << c.x << "," << c.y;
    EXPECT_EQ(f.window.cursor, c.cursor) << c.x << "," << c.y;
    if (c.moves) EXPECT_EQ(fx.host.moveResizeStarts[0], kHitCaption);
  }
}

TEST(Frameless, DoubleClickTogglesMaximise) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.Form_DblClick();
  EXPECT_TRUE(f.Maximized());
  f.Form_DblClick();
  EXPECT_FALSE(f.Maximized());
}

TEST(Frameless, TopMostKeepsPositionAndSize) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  const auto before = fx.host.size;
  f.zhi_d(1);
  EXPECT_TRUE(fx.host.topmost);
  f.zhi_d(0);
  EXPECT_FALSE(fx.host.topmost);
  EXPECT_EQ(fx.host.size, before);
}

TEST(Skins, SwitchingPersistsAndRepaintsInTheNewSkin) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  f.npc_Click(12);  // local list selected
  f.npc_Click(9);
  f.p_p(1);
  EXPECT_EQ(fx.Ini("Skin", "Num"), "1");
  EXPECT_EQ(f.LoadedSkin, 1);
  EXPECT_EQ(f.C("L1").back, (forms::Rgb{51, 51, 51}));
  EXPECT_EQ(f.C("npc", 12).frame, (forms::Frame{9, 114, 0, 57, 20}));
  EXPECT_FALSE(f.C("npc", 12).enabled);
  EXPECT_EQ(f.C("npc", 9).frame, (forms::Frame{7, 0, 0, 80, 32}));
  EXPECT_EQ(f.C("bo_but", 0).frame, (forms::Frame{12, 0, 0, 38, 33}));
  f.p_p(0);
  EXPECT_EQ(fx.Ini("Skin", "Num"), "0");
  EXPECT_EQ(f.C("L1").back, (forms::Rgb{0, 38, 81}));
  f.p_p(3);  // no pictures: the strips stay
  EXPECT_EQ(f.LoadedSkin, 0);
  EXPECT_EQ(fx.Ini("Skin", "Num"), "3");
}

TEST(Skins, EveryFrameTheWindowCopiesLiesInsideItsStrip) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  // Walk the states that change frames, then check every frame and blit source.
  auto check = [&] {
    for (const auto& c : f.controls()) {
      if (c->frame.strip >= 0) {
        const auto s = shell::kStripSizes[c->frame.strip];
        EXPECT_LE(c->frame.x + std::min(c->frame.w, c->w), s.w) << c->name();
        EXPECT_LE(std::min(c->frame.h, c->h), s.h) << c->name();
      }
      for (const auto& b : c->blits) EXPECT_LE(b.sx + b.sw, shell::kStripSizes[b.strip].w) << c->name();
    }
    for (const auto& b : f.background) {
      EXPECT_LE(b.sx + b.sw, shell::kStripSizes[b.strip].w);
      EXPECT_LE(b.sy + b.sh, shell::kStripSizes[b.strip].h);
    }
  };
  check();
  for (int i : {1, 4, 7, 12, 13, 14, 9}) {
    f.npc_Click(i);
    for (int j = 0; j <= 16; ++j) f.npc_MouseMove(j, 0, 1, 1);
    check();
  }
  f.npc_Click(15);
  check();
}

// What the Qt layer paints of a control's own data: web views and the video draw
// their own content, and only labels and lines draw in the fore colour.
struct Look {
  std::optional<forms::Rgb> back, fore;
  std::string picture;
  bool operator==(const Look&) const = default;
};

std::map<std::string, Look> Looks(const forms::Form& f) {
  std::map<std::string, Look> looks{{"(form)", {f.backColor, std::nullopt, ""}}};
  for (const auto& c : f.controls()) {
    if (c->kind == forms::ControlKind::WebView || c->kind == forms::ControlKind::Player) continue;
    const bool drawsFore = c->kind == forms::ControlKind::Label || c->kind == forms::ControlKind::Line;
    looks[c->name() + (c->key.index ? std::to_string(*c->key.index) : "")] = {
        c->back, drawsFore ? std::optional(c->fore) : std::nullopt, c->picture};
  }
  return looks;
}

std::vector<forms::Rgb> Colours(const shell::SkinPalette& s) {
  return {s.window, s.status, s.statusText, s.track,   s.buffered, s.played,
          s.volume, s.title,  s.listBack,   s.listBar, s.listLine, s.notice};
}

TEST(Skins, EveryPaintedColourAndPictureFollowsTheSkin) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  const auto blue = Looks(f);
  const auto greyColours = Colours(shell::kSkins[1]);
  std::vector<forms::Rgb> blueOnly;
  for (const auto& c : Colours(shell::kSkins[0])) {
    if (std::ranges::find(greyColours, c) == greyColours.end()) blueOnly.push_back(c);
  }
  auto expectGrey = [&](const char* when) {
    for (const auto& [name, look] : Looks(f)) {
      EXPECT_NE(look.picture, shell::kSkins[0].cover) << name << " " << when;
      for (const auto& c : {look.back, look.fore}) {
        if (!c) continue;
        EXPECT_EQ(std::ranges::count(blueOnly, *c), 0) << name << " keeps a blue-skin colour " << when;
        // Whatever the palette holds, nothing of the grey skin is tinted blue.
        EXPECT_FALSE(c->b >= c->r + 6 && c->b >= c->g)
            << name << " is blue: " << int(c->r) << "," << int(c->g) << "," << int(c->b) << " " << when;
      }
    }
  };
  f.p_p(1);
  expectGrey("after the switch");
  EXPECT_EQ(f.C("adp").picture, shell::kSkins[1].cover);
  const auto grey = Looks(f);
  f.p_p(3);  // no pictures: the grey ones stay, and so do the colours that go with them
  EXPECT_EQ(Looks(f), grey);
  f.p_p(0);
  EXPECT_EQ(Looks(f), blue);

  MainWindowFixture saved;  // the saved skin at start
  saved.SetIni("Skin", "Num", "1");
  EXPECT_EQ(Looks(saved.Load()), grey);
}

// WCAG contrast of two colours.
double Contrast(forms::Rgb a, forms::Rgb b) {
  auto lum = [](forms::Rgb c) {
    auto lin = [](int v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
  };
  const double x = lum(a), y = lum(b);
  return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// The notices keep the portal's dark blue; under either skin their ground makes it
// readable, and the played part of the seek bar stands out from the band under it.
TEST(Skins, NoticesAndThePlayedPartReadOnEverySkin) {
  const forms::Rgb notice{17, 64, 96};
  for (int skin : {0, 1}) {
    MainWindowFixture fx;
    auto& f = fx.Load();
    f.p_p(skin);
    for (int i = 0; i <= 3; ++i) {
      ASSERT_TRUE(f.Lab2[i].back);
      EXPECT_GE(Contrast(notice, *f.Lab2[i].back), 4.5) << skin;
      EXPECT_TRUE(f.Lab2[i].hand);
    }
    EXPECT_GE(Contrast(*f.C("played").back, *f.C("huan").back), 1.8) << skin;
    EXPECT_GE(Contrast(*f.C("played").back, *f.C("gunt").back), 3.0) << skin;
  }
}

TEST(HoverColours, LabelsTurnDarkRedUnderThePointer) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  const auto red = (forms::Rgb{128, 0, 0});
  f.Control_MouseMove("qk");
  EXPECT_EQ(f.C("qk").fore, red);
  f.Control_MouseMove("shan");
  EXPECT_EQ(f.C("qk").fore, (forms::Rgb{0x5A, 0x5A, 0x5A}));
  f.Control_MouseMove("jbi");
  EXPECT_EQ(f.C("jbi").fore, red);
  f.npc_Click(10);  // every click undoes the hover colours
  EXPECT_EQ(f.C("jbi").fore, (forms::Rgb{255, 255, 255}));
}

}  // namespace
}  // namespace tavlin
