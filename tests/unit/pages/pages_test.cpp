// The pages' own events: right clicks, pages that fail, new windows.
#include "core/pages/pages.h"

#include <gtest/gtest.h>

#include <cctype>

#include "support/program_fixture.h"

namespace tavlin {
namespace {

using testing::MainWindowFixture;

constexpr const char* kBase = "http://127.0.0.1:9/soft/";

TEST(ErrorPanel, AFailedPortalShowsThePanelUntilTheRetryBringsThePortalBack) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  auto& links = fx.program->links();
  const auto& flags = fx.State().episodes;
  links.DownloadComplete("Web1");
  EXPECT_TRUE(f.Shown(f.Pic1));
  EXPECT_FALSE(f.wait.visible);

  // A page outside the portal fails in the portal's view: the browser's business.
  links.NavigateError("Web1", "http://elsewhere.example/soft/", -105);
  EXPECT_FALSE(f.wait.visible);

  for (const char* retry : {"webe", "jia"}) {
    SCOPED_TRACE(retry);
    links.NavigateError("Web1", std::string(kBase) + "?30", 500);
    EXPECT_FALSE(f.Pic1.visible);
    EXPECT_TRUE(f.Shown(f.wait));
    EXPECT_EQ(f.webe.caption, pages::kPortalErrorText);
    EXPECT_GT(f.webe.h, 5 * forms::LineHeight(f.webe.fontPixels)) << "the six lines of the text have room";
    EXPECT_EQ(flags.PortalErrorShown, 1);
    // The failed page completes too, and later pages: the panel stays.
    links.DownloadComplete("Web1");
    EXPECT_TRUE(f.wait.visible);

    fx.views["Web1"].navigations.clear();
    fx.Click({retry, std::nullopt});
    EXPECT_EQ(fx.views["Web1"].navigations, std::vector<std::string>{std::string(kBase) + "?30"});
    EXPECT_TRUE(f.Shown(f.Pic1)) << "the portal shows before its page has come";
    EXPECT_FALSE(f.wait.visible);
    EXPECT_EQ(flags.PortalErrorShown, 1);
  }
}

TEST(ErrorPanel, FailingAdsFallBack) {
  MainWindowFixture fx;
  auto& f = fx.Load();
  auto& links = fx.program->links();
  const auto& flags = fx.State().episodes;
  links.NavigateError("Weby", "http://ads.example/x.html", -105);
  links.NavigateError("Web3", std::string(kBase) + "c.htm", -105);
  EXPECT_EQ(flags.BannerAdFailed, 0);
  links.NavigateError("Weby", std::string(kBase) + "js/ads/softad.html", 404);
  EXPECT_EQ(flags.BannerAdFailed, 1);
  fx.clock.Advance(2000);
  EXPECT_EQ(f.npc[7].tooltip, "打开") << "the side panel with the failed banner stays closed";

  f.ad_huan.visible = true;
  f.adp.visible = false;
  links.NavigateError("Web7", "http://anywhere.example/", -7);
  EXPECT_FALSE(f.ad_huan.visible);
  EXPECT_TRUE(f.adp.visible);
  EXPECT_EQ(flags.PlayerAdFailed, 1);
  EXPECT_EQ(flags.PortalErrorShown, 0);
  EXPECT_FALSE(f.wait.visible);
}

TEST(ErrorPanel, FailedPortalPagesElsewhereShowTheProgramsNoticeInChinese) {
  MainWindowFixture fx;
  fx.Load();
  auto& links = fx.program->links();
  const std::string episode = std::string(kBase) + "pp.htm?102-1-2-%u730E%u8C79-0";
  links.NavigateError("Web5", episode, -102);
  links.NavigateError("Web9", std::string(kBase) + "/tv", 500);
  links.NavigateError("Web2", std::string(kBase) + "play.htm?105-1-1-%u591C", -102);
  for (const char* view : {"Web5", "Web9", "Web2"}) {
    EXPECT_EQ(fx.views[view].notice, pages::kPageFailedText) << view;
  }
  // The notice watches the address that failed, exactly as it was asked for.
  EXPECT_EQ(fx.views["Web5"].calls, std::vector<std::string>{"failure:" + episode});
  const std::string notice = pages::kPageFailedText;
  for (unsigned char c : notice) EXPECT_FALSE(std::isalpha(c)) << "no English in " << notice;
  for (unsigned char c : std::string(pages::kPortalErrorText)) EXPECT_FALSE(std::isalpha(c));

  // Pages of other sites keep the browser's word; the portal view has its panel; the
  // hidden statistics view shows nothing to anyone.
  links.NavigateError("Web9", "http://elsewhere.example/", -105);
  links.NavigateError("Web1", std::string(kBase), -105);
  links.NavigateError("Web6", std::string(kBase) + "tj/tj.asp?id=1", -105);
  EXPECT_EQ(fx.views["Web9"].calls.size(), 1u);
  EXPECT_TRUE(fx.views["Web1"].notice.empty());
  EXPECT_TRUE(fx.views["Web6"].notice.empty());
}

TEST(PageMenus, ThePortalGetsTheProgramsMenuAndItsItemsDriveThePortalView) {
  MainWindowFixture fx;
  fx.Load();
  auto& links = fx.program->links();
  for (const char* view : {"Web2", "Web4", "Weby", "Web6", "Web7", "Web9"}) links.ContextMenu(view, "", kBase, 5, 5);
  EXPECT_TRUE(fx.menus.popups.empty()) << "nothing pops up elsewhere";
  links.ContextMenu("Web1", "eebovod://1-2-3-x", kBase, 40, 60);
  EXPECT_EQ(fx.menus.popups, std::vector<std::string>{"myMenu@pointer"});

  const menus::Menu* menu = fx.program->tip().FindMenu("myMenu");
  ASSERT_TRUE(menu);
  auto& web1 = fx.views["Web1"];
  web1.navigations.clear();
  for (const auto& item : menu->items) {
    if (item.caption != "-") EXPECT_TRUE(fx.program->tip().ItemClick(item.name)) << item.name;
  }
  EXPECT_EQ(web1.calls, (std::vector<std::string>{"back", "forward", "refresh", "copy", "paste"}));
  EXPECT_EQ(web1.navigations, std::vector<std::string>{kBase});

  for (const char* view : {"Web6", "Web7", "Web9"}) EXPECT_TRUE(pages::KeepsBrowserMenu(view)) << view;
  for (const char* view : {"Web1", "Web2", "Web3", "Web4", "Web5", "Weby", "adsb"})
    EXPECT_FALSE(pages::KeepsBrowserMenu(view)) << view;
}

TEST(NewWindows, OnlyWebPagesReachTheUsersBrowserAndNoViewOpensAWindow) {
  MainWindowFixture fx;
  fx.Load();
  const std::string asked[] = {"http://127.0.0.1:5/page.htm",
                               "file:///etc/passwd",
                               "javascript:alert(1)",
                               "data:text/html,<b>x</b>",
                               "eebovod://1-2-3-t",
                               "open://3",
                               "foo:bar",
                               "http:no-host",
                               "/etc/passwd",
                               "",
                               "HTTPS://example.org/a?b"};
  for (const std::string& address : asked) {
    bool cancel = false;
    fx.program->links().NewWindow("Web1", address, cancel);
    EXPECT_TRUE(cancel) << address;
  }
  EXPECT_EQ(fx.shell.opened, (std::vector<std::string>{"http://127.0.0.1:5/page.htm", "HTTPS://example.org/a?b"}));
  for (auto& [name, view] : fx.views) EXPECT_EQ(view.calls, std::vector<std::string>{}) << name;
}

}  // namespace
}  // namespace tavlin
