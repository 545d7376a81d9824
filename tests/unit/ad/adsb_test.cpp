// The floating ad: armed by the update file, revealed from its bottom edge, shrunk
// away when closed, and closed when its page opens a window.
#include <gtest/gtest.h>

#include "support/program_fixture.h"

namespace tavlin::testing {
namespace {

struct AdFixture : ProgramFixture {
  ad::Adsb* ad = nullptr;
  FakeView view;
  AdFixture() {
    Load();
    ad = &program->adsb();
    ad->AttachView(view);
    f->Timer8.SetEnabled(true);
    clock.Advance(3000);
  }
  PixelRect Band() const { return ad->window.region.value_or(PixelRect{-1, -1, -1, -1}); }
};

TEST(FloatingAd, ShowsInTheLowerRightAndGrowsUpwardsUntilWhole) {
  AdFixture t;
  ASSERT_TRUE(t.ad->loaded());
  EXPECT_FALSE(t.f->Timer8.enabled());
  EXPECT_TRUE(t.ad->window.visible);
  EXPECT_TRUE(t.ad->window.topmost);
  // 80 and 450 twips from the screen's right and bottom edges (1280 x 800).
  EXPECT_EQ(t.ad->window.x, 1280 - 268 - 5);
  EXPECT_EQ(t.ad->window.y, 800 - 200 - 30);
  EXPECT_EQ(t.view.navigations, std::vector<std::string>{std::string(kPortal) + "/js/ads/fudong.html"});

  // The reveal may have taken its first step in the tick that showed the window.
  int ticks = (199 - t.Band().y) / 3;
  PixelRect last = t.Band();
  while (t.ad->Timer1.enabled() && ticks < 1000) {
    t.clock.Advance(10);
    ++ticks;
    const PixelRect band = t.Band();
    // The band only grows, always down to the window's bottom edge, across its width.
    EXPECT_LE(band.y, last.y);
    EXPECT_EQ(band.y + band.h, 200);
    EXPECT_EQ(band.w, 268);
    last = band;
  }
  EXPECT_EQ(ticks, 67);
  EXPECT_EQ(t.Band(), (PixelRect{0, 0, 268, 200}));
}

TEST(FloatingAd, TheClosePictureStopsTheRevealAndShrinksFromTheWholeWindow) {
  AdFixture t;
  t.clock.Advance(200);
  ASSERT_GT(t.Band().y, 100);  // still growing
  t.program->adsb().input.Raise(
      forms::InputEvent::OnControl(forms::InputEvent::Click, {"Picture1", {}}, forms::kLeftButton));
  EXPECT_TRUE(t.ad->closing());
  t.ad->Timer1_Timer();
  EXPECT_EQ(t.Band(), (PixelRect{0, 3, 268, 197}));
  int steps = 1;
  while (t.ad->window.visible && steps < 1000) {
    const int top = t.Band().y;
    t.ad->Timer1_Timer();
    ++steps;
    if (t.ad->window.visible) EXPECT_EQ(t.Band().y, top + 3);
  }
  EXPECT_EQ(steps, 67);
  EXPECT_FALSE(t.ad->loaded());
  EXPECT_FALSE(t.ad->Timer1.enabled());
  EXPECT_EQ(t.view.navigations.back(), "about:blank");
}

TEST(FloatingAd, ANewWindowGoesToTheBrowserOnlyWhenItIsAWebPage) {
  for (const char* address : {"http://127.0.0.1:9/soft/tv", "file:///etc/passwd"}) {
    AdFixture t;
    bool cancel = false;
    t.ad->NewWindow("Web1", address, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(t.ad->closing());
    EXPECT_EQ(t.shell.opened.size(), std::string(address).starts_with("http") ? 1u : 0u) << address;
    t.clock.Advance(1000);
    EXPECT_FALSE(t.ad->window.visible);
  }
  AdFixture t;
  bool cancel = false;
  t.ad->BeforeNavigate("Web1", "eeqvod://x", "", cancel);
  EXPECT_TRUE(cancel);
  t.ad->BeforeNavigate("Web1", "https://example.com/", "", cancel);
  EXPECT_FALSE(cancel);
}

TEST(FloatingAd, ExitTakesItAwayAtOnceAndTheTimerShowsAFreshOne) {
  AdFixture t;
  t.clock.Advance(100);
  t.program->ttt_v();
  EXPECT_FALSE(t.ad->window.visible);
  EXPECT_FALSE(t.ad->Timer1.enabled());
  t.f->Timer8.SetEnabled(true);
  t.clock.Advance(3000);
  EXPECT_GE(t.Band().y, 196);  // starts again from the load step
  EXPECT_TRUE(t.ad->Timer1.enabled());
}

// Where the window system places windows itself (Wayland), neither the ad nor the pin
// can do what they promise: the ad stays away and the pin is not offered, also after
// the compact mode gives every button back.
TEST(FloatingAd, NoAdAndNoPinWhereTheWindowSystemPlacesWindows) {
  ProgramFixture t;
  t.screen.placesWindows = false;
  t.Load();
  EXPECT_FALSE(t.f->npc[4].visible);
  EXPECT_TRUE(t.f->npc[3].visible);
  t.f->Timer8.SetEnabled(true);
  t.clock.Advance(3000);
  EXPECT_FALSE(t.program->adsb().window.visible);
  EXPECT_FALSE(t.program->adsb().loaded());
  t.f->jbi_Click();
  EXPECT_FALSE(t.f->npc[4].visible);
  EXPECT_TRUE(t.f->npc[5].visible);
}

}  // namespace
}  // namespace tavlin::testing
