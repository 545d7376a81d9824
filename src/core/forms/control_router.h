#pragma once
// The one place where input finds its handler. Each subsystem routes the controls it
// owns (by handle, so a control that does not exist cannot be routed); the form
// routes its own surface and window; every key goes to each key handler in turn,
// since the window sees all keys before its children.
#include <functional>
#include <vector>

#include "core/forms/input.h"

namespace tavlin::forms {

class ControlRouter {
 public:
  using Handler = std::function<void(const InputEvent&)>;

  ControlRouter() = default;
  ControlRouter(const ControlRouter&) = delete;
  ControlRouter& operator=(const ControlRouter&) = delete;

  void Route(const Control& control, Handler handler);
  void Route(const ControlArray& controls, Handler handler);
  // Events of a form's own surface and window (no control).
  void RouteForm(Handler handler);
  void RouteKeys(Handler handler);
  // The wheel, over any control: its handlers look at the control themselves.
  void RouteWheel(Handler handler);
  // Mouse moves and clicks on controls nobody routes (containers, labels).
  void RouteUnclaimed(Handler handler);

  // A disabled control takes no presses or clicks, as a disabled control of the
  // window system would; moves still reach it.
  void Raise(const InputEvent& event);

 private:
  struct Entry {
    const Control* control = nullptr;
    const ControlArray* array = nullptr;
    Handler handler;
  };
  const Entry* Find(const ControlKey& key) const;
  const Control* ControlOf(const Entry& entry, const ControlKey& key) const;

  std::vector<Entry> entries_;
  std::vector<Handler> form_, keys_, wheel_, unclaimed_;
};

}  // namespace tavlin::forms
