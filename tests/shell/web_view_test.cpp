// A web view on a real page: a command link reaches the core exactly as written,
// with the page that holds it as its origin, and is never loaded; a script that
// sends the page to a command address speaks for nobody; the first page loads
// alone and the next view waits for it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <fstream>
#include <string>
#include <vector>

#include "ui/browser/web_view.h"
#include "ui/shell/dispatched_events.h"
#include "ui/shell/event_gate.h"

namespace tavlin::ui {
namespace {

struct Reported {
  std::string kind, view, address, origin;
  bool operator==(const Reported&) const = default;
};
void PrintTo(const Reported& r, std::ostream* os) {
  *os << r.kind << " " << r.view << " " << r.address << " <" << r.origin << ">";
}

// The core's side: records, and cancels every command as the core does.
struct Core final : BrowserEvents {
  std::vector<Reported> seen;
  void BeforeNavigate(const std::string& view, const std::string& address, const std::string& origin,
                      bool& cancel) override {
    seen.push_back({"navigate", view, address, origin});
    cancel = address.rfind("http", 0) != 0 && address[0] != '/';
  }
  void DownloadBegin(const std::string& view) override { seen.push_back({"begin", view, "", ""}); }
  void DownloadComplete(const std::string& view) override { seen.push_back({"complete", view, "", ""}); }
  void NavigateError(const std::string&, const std::string&, int) override {}
  void UserClick(const std::string& view) override { seen.push_back({"click", view, "", ""}); }
  void ContextMenu(const std::string&, const std::string&, const std::string&, int, int) override {}
  void NewWindow(const std::string&, const std::string&, bool& cancel) override { cancel = true; }
};

bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

// A local page with the given body, and what views need around them.
struct Scene {
  explicit Scene(const std::string& body) { std::ofstream(page) << "<!doctype html><meta charset=utf-8>" << body; }
  QTemporaryDir dir;
  const std::string page = dir.path().toStdString() + "/list.htm";
  SharedProfile profile;
  EventGate gate;
  Core core;
  DispatchedEvents events{gate, core};
};

TEST(WebView, ACommandLinkReachesTheCoreAsWrittenAndAScriptsNavigationFromNobody) {
  Scene scene("<a id=a href=\"EEBOVOD://ABC-Def%u4E2D|3\">x</a>");
  const std::string& page = scene.page;
  Core& core = scene.core;
  SharedProfile& profile = scene.profile;
  DispatchedEvents& events = scene.events;
  WebView first("Web1", profile, events, false, nullptr);
  WebView second("Web2", profile, events, false, nullptr);
  events.Serve("Web1", first);
  first.resize(400, 300);
  first.show();

  first.Navigate(page);
  second.Navigate(page);
  // The second view waits while the first page has the engine to itself.
  ASSERT_TRUE(WaitFor([&] { return first.loaded() && second.loaded(); }));
  std::vector<Reported> loads;
  for (const Reported& r : core.seen)
    if (r.kind != "navigate") loads.push_back(r);
  EXPECT_EQ(loads, (std::vector<Reported>{{"begin", "Web1", "", ""},
                                          {"complete", "Web1", "", ""},
                                          {"begin", "Web2", "", ""},
                                          {"complete", "Web2", "", ""}}));

  auto navigations = [&] {
    std::vector<Reported> n;
    for (const Reported& r : core.seen)
      if (r.kind == "navigate") n.push_back(r);
    return n;
  };
  core.seen.clear();
  first.page()->runJavaScript(QStringLiteral("document.getElementById('a').click()"));
  ASSERT_TRUE(WaitFor([&] { return !navigations().empty(); }));
  // A script's click: no user's click is reported, the text is untouched.
  EXPECT_EQ(navigations()[0], (Reported{"navigate", "Web1", "EEBOVOD://ABC-Def%u4E2D|3", page}));

  core.seen.clear();
  first.page()->runJavaScript(QStringLiteral("location.href = 'open://5'"));
  ASSERT_TRUE(WaitFor([&] { return !navigations().empty(); }));
  WaitFor([] { return false; }, 200);
  ASSERT_EQ(navigations().size(), 1u) << ::testing::PrintToString(core.seen);
  EXPECT_EQ(navigations()[0].origin, "");
  EXPECT_EQ(first.page()->url().toLocalFile().toStdString(), page);
  EXPECT_EQ(first.CurrentAddress(), page);
}

// Shown, a view that waits its turn would get a renderer of its own for its empty
// page meanwhile, beside the one the first page needs. It stays off screen until its
// turn, and then shows as the window last asked meanwhile.
TEST(WebView, AViewWaitingItsTurnStaysOffScreenWithoutARendererUntilThen) {
  Scene scene("<p>list</p>");
  const std::string& page = scene.page;
  SharedProfile& profile = scene.profile;
  DispatchedEvents& events = scene.events;
  scene.gate.HoldLoads();  // as for the player's first frame: even the first page waits
  QWidget window;
  window.resize(800, 300);
  WebView first("Web1", profile, events, false, &window);
  WebView side("Web3", profile, events, false, &window);
  WebView hidden("Web5", profile, events, false, &window);
  side.setGeometry(400, 0, 400, 300);
  window.show();

  first.Navigate(page);
  side.Navigate(page);
  hidden.Navigate(page);
  side.show();  // the window lays its views out again meanwhile
  hidden.show();
  hidden.hide();
  WaitFor([] { return false; }, 500);
  for (WebView* view : {&first, &side, &hidden}) {
    EXPECT_FALSE(view->isVisible()) << view->name();
    EXPECT_EQ(view->rendererPid(), 0) << view->name();
  }

  scene.gate.ReleaseLoads();
  ASSERT_TRUE(WaitFor([&] { return first.loaded() && side.loaded() && hidden.loaded(); }));
  EXPECT_TRUE(first.isVisible());
  EXPECT_TRUE(side.isVisible());
  EXPECT_FALSE(hidden.isVisible()) << "the window's last wish holds";
  // Its turn over, the view shows and hides as any widget.
  side.hide();
  EXPECT_FALSE(side.isVisible());
  side.show();
  EXPECT_TRUE(side.isVisible());
}

}  // namespace
}  // namespace tavlin::ui
