// The door into the core on a real event loop: what comes while a handler waits for
// the portal is held and runs, in order, once the handler has returned; a timer's
// ticks are held once; a view's navigation is cancelled and made again only if the
// core lets it through; a pump runs a tick inside the handler that pumps.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/fakes.h"
#include "ui/shell/dispatched_events.h"
#include "ui/shell/event_gate.h"
#include "ui/shell/painting_http_client.h"

namespace tavlin::ui {
namespace {

using Log = std::vector<std::string>;

struct CountingWindow final : EventGate::Window {
  int beforeWait = 0, afterHandler = 0;
  void BeforeWait() override { ++beforeWait; }
  void AfterHandler() override { ++afterHandler; }
};

// The core's side of the views: logs what reaches it and refuses command links.
struct CoreViews final : BrowserEvents {
  explicit CoreViews(Log& log) : log(log) {}
  Log& log;
  void BeforeNavigate(const std::string& view, const std::string& address, const std::string&, bool& cancel) override {
    log.push_back("navigate " + view + " " + address);
    cancel = address.rfind("open://", 0) == 0;
  }
  void DownloadBegin(const std::string&) override {}
  void DownloadComplete(const std::string&) override {}
  void NavigateError(const std::string&, const std::string&, int) override {}
  void UserClick(const std::string& view) override { log.push_back("click " + view); }
  void ContextMenu(const std::string&, const std::string&, const std::string&, int, int) override {}
  void NewWindow(const std::string& view, const std::string&, bool&) override { log.push_back("window " + view); }
};

// The portal, answering on the request's own thread once `during` (run on the GUI
// thread while the request waits) says it is done.
class SlowPortal final : public HttpClient {
 public:
  std::function<bool()> during;
  std::optional<std::string> Get(const std::string&) override {
    std::atomic<bool> done = false;
    QMetaObject::invokeMethod(
        qApp, [&] { StepUntilDone(done); }, Qt::QueuedConnection);
    for (int i = 0; i < 500 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done ? std::optional<std::string>("answer") : std::nullopt;
  }

 private:
  void StepUntilDone(std::atomic<bool>& done) {
    if (during()) {
      done = true;
      return;
    }
    QTimer::singleShot(5, qApp, [this, &done] { StepUntilDone(done); });
  }
};

struct Gate : ::testing::Test {
  Gate() { gate.Attach(&window); }
  EventGate gate;
  CountingWindow window;
  SlowPortal portal;
  PaintingHttpClient http{portal, gate};
  Log log;
  CoreViews core{log};
  DispatchedEvents views{gate, core};
  tavlin::testing::FakeView web1;
};

TEST_F(Gate, WhatComesDuringAPortalRequestRunsAfterTheHandlerInOrderTicksOnce) {
  views.Serve("Web1", web1);
  QTimer poll;
  poll.setInterval(5);
  int fired = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (++fired == 3) poll.stop();
    gate.Tick(&poll, [&] { log.push_back("tick"); });
  });
  std::vector<bool> cancelledAtOnce;
  bool started = false;
  portal.during = [&] {
    if (!started) {
      started = true;
      // A click on a link that the core allows, one it refuses, a pop-up.
      views.UserClick("Web1");
      for (const char* address : {"http://127.0.0.1:1/a", "open://3"}) {
        bool cancel = false;
        views.BeforeNavigate("Web1", address, "", cancel);
        cancelledAtOnce.push_back(cancel);
      }
      bool refused = false;
      views.NewWindow("Web1", "http://127.0.0.1:1/pop", refused);
      cancelledAtOnce.push_back(refused);
      poll.start();
    }
    // Nothing has reached the core yet, and the handler is still waiting.
    EXPECT_EQ(log, Log{"handler asks"});
    return fired == 3;
  };

  std::optional<std::string> answer;
  gate.Run([&] {
    log.push_back("handler asks");
    answer = http.Get("http://127.0.0.1:1/soft/x");
    log.push_back("handler has its answer");
  });

  EXPECT_EQ(answer, "answer");
  EXPECT_EQ(cancelledAtOnce, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(log, (Log{"handler asks", "handler has its answer", "click Web1", "navigate Web1 http://127.0.0.1:1/a",
                      "navigate Web1 open://3", "tick"}));
  // The allowed navigation was made again, the refused one never.
  EXPECT_EQ(web1.navigations, std::vector<std::string>{"http://127.0.0.1:1/a"});
  EXPECT_EQ(window.beforeWait, 1);
  EXPECT_EQ(window.afterHandler, 5);  // the handler and each of the four held

  // Once nothing waits, ticks run as they come.
  gate.Tick(&poll, [&] { log.push_back("tick"); });
  EXPECT_EQ(log.back(), "tick");
  EXPECT_EQ(log.size(), 7u);
}

TEST_F(Gate, ARequestOutsideAnyHandlerReleasesWhatWasHeldFromTheEventLoop) {
  portal.during = [&] {
    gate.Run([&] { log.push_back("key"); });
    return true;
  };
  // The player's start in the background asks without a handler around it.
  EXPECT_EQ(http.Get("http://127.0.0.1:1/soft/y"), "answer");
  EXPECT_TRUE(log.empty()) << "released inside the caller";
  QApplication::processEvents();
  EXPECT_EQ(log, Log{"key"});

  // The release is dropped with a gate that has gone.
  {
    EventGate gone;
    PaintingHttpClient goneHttp(portal, gone);
    portal.during = [&] {
      gone.Run([&] { log.push_back("never"); });
      return true;
    };
    goneHttp.Get("http://127.0.0.1:1/soft/z");
  }
  QApplication::processEvents();
  EXPECT_EQ(log, Log{"key"});
}

TEST_F(Gate, APumpRunsATickInsideTheHandlerButNotDuringARequest) {
  int timer = 0;
  auto tickSoon = [&] { QTimer::singleShot(0, qApp, [&] { gate.Tick(&timer, [&] { log.push_back("tick"); }); }); };
  // The seek thumb dragged: the poll's tick comes between the pump and the move.
  gate.Run([&] {
    log.push_back("drag");
    tickSoon();
    gate.Pump();
    log.push_back("drag ends");
  });
  EXPECT_EQ(log, (Log{"drag", "tick", "drag ends"}));

  // A pump inside a wait (the start-up task while a request waits) runs nothing.
  log.clear();
  portal.during = [&] {
    tickSoon();
    gate.Pump();
    return true;
  };
  gate.Run([&] {
    log.push_back("asks");
    http.Get("http://127.0.0.1:1/soft/w");
    log.push_back("answered");
  });
  QApplication::processEvents();
  EXPECT_EQ(log, (Log{"asks", "answered", "tick"}));
}

struct Page final : EventGate::HeldPage {
  Page(std::string name, Log& log) : name(std::move(name)), log(log) {}
  void LoadHeldPage(bool first) override { log.push_back(name + (first ? " first" : "")); }
  std::string name;
  Log& log;
};

TEST_F(Gate, TheFirstPageLoadsAloneAndAMediaFileHoldsEvenThatUntilItsFrame) {
  using Turn = EventGate::PageTurn;
  Page web1p("Web1", log), web2("Web2", log), web3("Web3", log);
  gate.HoldLoads();
  gate.AfterFirstPage([&] { log.push_back("player starts"); });
  EXPECT_EQ(gate.AskToLoad(web1p), Turn::Hold);
  EXPECT_EQ(gate.AskToLoad(web2), Turn::Hold);
  EXPECT_EQ(gate.AskToLoad(web2), Turn::Hold);  // asked again: still loads once
  {
    Page gone("gone", log);
    EXPECT_EQ(gate.AskToLoad(gone), Turn::Hold);
    gate.Forget(gone);
  }
  gate.ReleaseLoads();  // the first frame
  gate.ReleaseLoads();  // and the one-second fallback after it
  EXPECT_EQ(log, Log{"Web1 first"});
  EXPECT_EQ(gate.AskToLoad(web3), Turn::Hold);
  gate.FirstPageDone();
  gate.FirstPageDone();  // loaded, and its time is up later
  EXPECT_EQ(log, (Log{"Web1 first", "Web2", "Web3", "player starts"}));
  EXPECT_EQ(gate.AskToLoad(web1p), Turn::Load);
  EXPECT_EQ(gate.AskToLoad(web2), Turn::Load);
  gate.AfterFirstPage([&] { log.push_back("at once"); });
  EXPECT_EQ(log.back(), "at once");
}

}  // namespace
}  // namespace tavlin::ui
