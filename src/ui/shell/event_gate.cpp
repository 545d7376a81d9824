#include "ui/shell/event_gate.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <utility>

#include "ui/shell/startup_trace.h"

namespace tavlin::ui {

void EventGate::Run(std::function<void()> handler) {
  if (Waiting()) {
    held_.push_back(std::move(handler));
    return;
  }
  handler();
  if (window_) window_->AfterHandler();
  Release();
}

void EventGate::Release() {
  while (!held_.empty() && !Waiting()) {
    std::function<void()> next = std::move(held_.front());
    held_.pop_front();
    Run(std::move(next));
  }
}

void EventGate::Tick(const void* timer, std::function<void()> tick) {
  if (!ticking_.insert(timer).second) return;
  Run([this, timer, tick = std::move(tick)] {
    ticking_.erase(timer);
    tick();
  });
}

void EventGate::BeforeWait() {
  if (window_) window_->BeforeWait();
}

void EventGate::Wait(QEventLoop& loop) {
  ++waiting_;
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  --waiting_;
}

void EventGate::AfterWait() {
  // Queued: a request made inside a handler leaves the release to the handler's end.
  QMetaObject::invokeMethod(
      this, [this] { Release(); }, Qt::QueuedConnection);
}

void EventGate::Pump() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

EventGate::PageTurn EventGate::AskToLoad(HeldPage& view) {
  if (!firstPage_) firstPage_ = &view;
  if (playerFirst_ || (&view != firstPage_ && !firstDone_)) {
    if (std::find(heldPages_.begin(), heldPages_.end(), &view) == heldPages_.end()) heldPages_.push_back(&view);
    return PageTurn::Hold;
  }
  return &view == firstPage_ && !firstDone_ ? PageTurn::LoadFirst : PageTurn::Load;
}

void EventGate::FirstPageDone() {
  if (firstDone_) return;
  firstDone_ = true;
  TraceStartupStep("first page");
  for (HeldPage* view : std::exchange(heldPages_, {})) view->LoadHeldPage(false);
  for (auto& then : std::exchange(afterFirstPage_, {})) then();
}

void EventGate::Forget(HeldPage& view) {
  std::erase(heldPages_, &view);
  if (firstPage_ == &view) firstPage_ = nullptr;
}

void EventGate::ReleaseLoads() {
  if (!playerFirst_) return;
  playerFirst_ = false;
  if (!firstPage_) return;
  auto held = std::find(heldPages_.begin(), heldPages_.end(), firstPage_);
  if (held == heldPages_.end()) return;
  heldPages_.erase(held);
  firstPage_->LoadHeldPage(true);
}

void EventGate::AfterFirstPage(std::function<void()> then) {
  if (firstDone_) then();
  else afterFirstPage_.push_back(std::move(then));
}

}  // namespace tavlin::ui
