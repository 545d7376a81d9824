// The one road of every navigation: which local files a view may show, and which
// pages may give which commands.
#include "core/forms/link_router.h"

#include "core/forms/form.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace tavlin::forms {
namespace {

struct Recorder final : LinkHandler {
  std::vector<std::string> seen;
  void BeforeNavigate(const std::string& view, const std::string& address, bool& cancel) override {
    seen.push_back(view + " " + address);
    cancel = true;
  }
};

struct Fixture {
  ManualClock clock;
  LinkRouter links{clock};
  testing::FakeView web3;
  Recorder lists, portal, marker;
  Fixture() {
    links.AddView("Web3", web3);
    links.Trust("http://127.0.0.1:47300/soft/", {"/home/u/Tavlin/c.htm", "/home/u/my lists/f.htm"});
    links.RouteScheme("open", lists, {LinkSource::ListPage});
    links.RouteScheme("eebovod", portal, {LinkSource::Portal});
    links.RoutePrefix("about:blank#next", marker);
  }
  bool Cancelled(const std::string& address, const std::string& origin) {
    bool cancel = false;
    links.BeforeNavigate("Web3", address, origin, cancel);
    return cancel;
  }
  void UserClicks(const std::string& address, const std::string& origin) {
    links.UserClick("Web3");
    Cancelled(address, origin);
  }
};

TEST(LinkRouter, NoViewShowsALocalFileButTheProgramsOwnPages) {
  Fixture t;
  for (const char* foreign :
       {"/etc/passwd", "file:///etc/passwd", "file://localhost/etc/passwd", "FILE:///home/u/Tavlin/c.htm/../../.bashrc",
        "file:///home/u/Tavlin/date.dat", "file://otherhost/home/u/Tavlin/c.htm"}) {
    EXPECT_TRUE(t.Cancelled(foreign, "http://127.0.0.1:47300/soft/")) << foreign;
    EXPECT_TRUE(t.Cancelled(foreign, kProgramOrigin)) << foreign;
  }
  for (const char* own : {"/home/u/Tavlin/c.htm", "file:///home/u/Tavlin/c.htm", "file:///home/u/my%20lists/f.htm"}) {
    EXPECT_FALSE(t.Cancelled(own, "/home/u/Tavlin/c.htm")) << own;
  }
  t.links.Navigate2("Web3", "/etc/passwd");
  t.links.Navigate2("Web3", "/home/u/Tavlin/c.htm");
  EXPECT_EQ(t.web3.navigations, std::vector<std::string>{"/home/u/Tavlin/c.htm"});
  EXPECT_FALSE(t.Cancelled("https://example.test/page", "http://127.0.0.2:9/"));
}

TEST(LinkRouter, CommandsActOnlyFromThePagesThatMayGiveThem) {
  Fixture t;
  t.clock.Advance(60000);  // each command comes long after the one before
  const std::string listPage = "/home/u/Tavlin/c.htm", portalPage = "http://127.0.0.1:47300/soft/pp.htm?1-2";
  for (const std::string& origin :
       {portalPage, std::string("http://127.0.0.2:47300/soft/"), std::string("http://127.0.0.1:47301/soft/"),
        std::string(""), std::string(kProgramOrigin), std::string("/home/u/Tavlin/date.dat")}) {
    EXPECT_TRUE(t.Cancelled("open://3", origin)) << origin;
  }
  EXPECT_TRUE(t.Cancelled("open://3", listPage));
  t.clock.Advance(60000);
  EXPECT_TRUE(t.Cancelled("OPEN://3", listPage));
  t.clock.Advance(60000);
  EXPECT_TRUE(t.Cancelled("eebovod://ABC-Def", portalPage));
  for (const std::string& origin : {listPage, std::string("http://evil.test/"), std::string("")}) {
    EXPECT_TRUE(t.Cancelled("eebovod://ABC-Def", origin)) << "dropped as well: " << origin;
  }
  // The markers the program sends itself come from nowhere else.
  EXPECT_TRUE(t.Cancelled("about:blank#next", portalPage));
  t.links.Navigate2("Web3", "about:blank#next");
  EXPECT_EQ(t.lists.seen, (std::vector<std::string>{"Web3 open://3", "Web3 OPEN://3"}));
  EXPECT_EQ(t.portal.seen, std::vector<std::string>{"Web3 eebovod://ABC-Def"});
  EXPECT_EQ(t.marker.seen, std::vector<std::string>{"Web3 about:blank#next"});
}

TEST(LinkRouter, APageGetsOneCommandPerClickOfTheUsersAndFewWithout) {
  Fixture t;
  const std::string page = "/home/u/Tavlin/c.htm";
  // A script clicking the list's links in a loop for 12 seconds: one at the start,
  // then one every few seconds.
  for (int ms = 0; ms < 12000; ms += 10) {
    for (int i = 0; i < 20; ++i) t.Cancelled("open://" + std::to_string(i), page);
    t.clock.Advance(10);
  }
  ASSERT_EQ(t.lists.seen.size(), 3u);
  EXPECT_EQ(t.lists.seen[0], "Web3 open://0");
  // Every click of the user's counts in the meantime, each for one command only.
  t.lists.seen.clear();
  t.UserClicks("open://7", page);
  t.Cancelled("open://8", page);  // the script right after the click
  t.clock.Advance(700);
  t.UserClicks("open://8", page);
  t.UserClicks("open://9", page);
  EXPECT_EQ(t.lists.seen, (std::vector<std::string>{"Web3 open://7", "Web3 open://8", "Web3 open://9"}));
  // A double click is one command, and a click used by a page's own navigation
  // leaves nothing for a script to take.
  t.lists.seen.clear();
  t.clock.Advance(700);
  t.UserClicks("open://4", page);
  t.UserClicks("open://4", page);
  t.UserClicks("https://example.test/next", page);
  t.Cancelled("open://5", page);
  EXPECT_EQ(t.lists.seen, std::vector<std::string>{"Web3 open://4"});
  // The same entry again once the double click's time is over (deleting the top
  // entry twice): both count. The program's own navigations are never held back.
  t.clock.Advance(700);
  t.UserClicks("open://4", page);
  for (int i = 0; i < 5; ++i) t.links.Navigate2("Web3", "about:blank#next");
  EXPECT_EQ(t.lists.seen, (std::vector<std::string>{"Web3 open://4", "Web3 open://4"}));
  EXPECT_EQ(t.marker.seen.size(), 5u);
}

}  // namespace
}  // namespace tavlin::forms
