#include "core/forms/control_router.h"

namespace tavlin::forms {

void ControlRouter::Route(const Control& control, Handler handler) {
  entries_.push_back({&control, nullptr, std::move(handler)});
}

void ControlRouter::Route(const ControlArray& controls, Handler handler) {
  entries_.push_back({nullptr, &controls, std::move(handler)});
}

void ControlRouter::RouteForm(Handler handler) { form_.push_back(std::move(handler)); }
void ControlRouter::RouteKeys(Handler handler) { keys_.push_back(std::move(handler)); }
void ControlRouter::RouteWheel(Handler handler) { wheel_.push_back(std::move(handler)); }
void ControlRouter::RouteUnclaimed(Handler handler) { unclaimed_.push_back(std::move(handler)); }

const ControlRouter::Entry* ControlRouter::Find(const ControlKey& key) const {
  for (const Entry& e : entries_) {
    if (e.control && e.control->key == key) return &e;
    if (e.array && e.array->Holds(key)) return &e;
  }
  return nullptr;
}

const Control* ControlRouter::ControlOf(const Entry& entry, const ControlKey& key) const {
  if (entry.control) return entry.control;
  return entry.array->Find(*key.index);
}

void ControlRouter::Raise(const InputEvent& event) {
  if (event.kind == InputEvent::KeyDown) {
    for (const Handler& h : keys_) h(event);
    return;
  }
  if (event.kind == InputEvent::Wheel) {
    for (const Handler& h : wheel_) h(event);
    return;
  }
  if (!event.control) {
    for (const Handler& h : form_) h(event);
    return;
  }
  const Entry* entry = Find(*event.control);
  const bool press = event.kind == InputEvent::MouseDown || event.kind == InputEvent::MouseUp ||
                     event.kind == InputEvent::Click || event.kind == InputEvent::DblClick;
  if (press && entry && !ControlOf(*entry, *event.control)->enabled) return;
  if (entry) {
    entry->handler(event);
    return;
  }
  for (const Handler& h : unclaimed_) h(event);
}

}  // namespace tavlin::forms
