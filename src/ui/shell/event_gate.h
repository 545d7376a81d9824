#pragma once
// The one door into the core, and everything that waits at it. The core runs on one
// thread, and its handlers were written for a window system that hands over one
// message at a time, except where a handler itself lets messages through. These are
// the rules, each kept here and nowhere else:
//
// 1. Every entry into the core goes through Run(): input, a timer's tick, what a web
//    view reports, an automation request, a command line from a later start, the
//    desktop's media keys. After the handler the attached window shows what it
//    changed (Window::AfterHandler), then the work held meanwhile runs.
// 2. A portal request waits in a local event loop (Wait()) that delivers no user
//    input but goes on painting and serving timers and sockets. Meanwhile nothing
//    enters the core: Run() holds the work in the order it came, and the handler that
//    asked finds the program as it left it. The held work runs once that handler has
//    returned (the end of its Run()); for a request made outside any handler, from
//    the event loop right after the wait (AfterWait()).
// 3. A timer's tick that comes during a wait is held once, however many come
//    (Tick()): dropped, the poll's copy of the position would fall behind and a Stop
//    would record that; queued each time, a burst of stale ticks would follow.
// 4. A view's navigation during a wait is cancelled at once (the engine cannot wait
//    for the core's answer) and made again once the core has let it through; a
//    page's new window during a wait is refused (DispatchedEvents).
// 5. A handler that lets window messages through (Pump(), the program's DoEvents:
//    the seek bar while its thumb is dragged, the start-up task) runs whatever comes
//    meanwhile there and then, nested inside it: a poll tick during gunt1_MouseMove.
//    A pump never delivers user input, and during a wait rule 2 still holds.
// 6. Pages at start: the first page asked for loads alone and the other views wait
//    until it has loaded (or has had kFirstPageMs); a start with a media file holds
//    even that one until the player's first frame (HoldLoads/ReleaseLoads). Work
//    that must wait for the page on screen waits in AfterFirstPage.
#include <QEventLoop>
#include <QObject>
#include <deque>
#include <functional>
#include <set>
#include <vector>

namespace tavlin::ui {

class EventGate final : public QObject {
 public:
  // The window that shows what handlers do.
  class Window {
   public:
    // A handler asks the portal: show what it has done so far (a status text).
    virtual void BeforeWait() = 0;
    // A handler has returned.
    virtual void AfterHandler() = 0;

   protected:
    ~Window() = default;
  };

  // A view whose page waits its turn (rule 6).
  class HeldPage {
   public:
    // Loads the page it was last asked for; first: it is the page on screen.
    virtual void LoadHeldPage(bool first) = 0;

   protected:
    ~HeldPage() = default;
  };

  // The first page's time to itself at most.
  static constexpr int kFirstPageMs = 3000;

  void Attach(Window* window) { window_ = window; }

  // Rule 1 and 2: runs handler now, or holds it while a request waits.
  void Run(std::function<void()> handler);
  // Rule 3: runs or holds a tick of timer, at most one held per timer.
  void Tick(const void* timer, std::function<void()> tick);
  // A request is waiting: nothing may enter the core.
  bool Waiting() const { return waiting_ > 0; }

  // Rule 2, for PaintingHttpClient: before the request starts, the wait itself (until
  // loop is quit), and after it.
  void BeforeWait();
  void Wait(QEventLoop& loop);
  void AfterWait();
  // Runs what was held, while no request waits.
  void Release();

  // Rule 5.
  void Pump();

  // Rule 6. What a view asks when it is given a page to load.
  enum class PageTurn { Load, LoadFirst, Hold };
  PageTurn AskToLoad(HeldPage& view);
  // The first page has loaded, or its time is up.
  void FirstPageDone();
  // A view that goes no longer waits.
  void Forget(HeldPage& view);
  void HoldLoads() { playerFirst_ = true; }
  void ReleaseLoads();
  void AfterFirstPage(std::function<void()> then);

 private:
  Window* window_ = nullptr;
  int waiting_ = 0;
  std::deque<std::function<void()>> held_;
  std::set<const void*> ticking_;  // timers with a tick held

  HeldPage* firstPage_ = nullptr;  // the first view given a page: the one on screen
  bool firstDone_ = false;         // its page has loaded, or it has had time enough
  bool playerFirst_ = false;       // nothing loads before the player's first frame
  std::vector<HeldPage*> heldPages_;
  std::vector<std::function<void()>> afterFirstPage_;
};

}  // namespace tavlin::ui
