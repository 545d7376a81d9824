#include "core/forms/form.h"

#include "core/base/text.h"
#include "core/base/utf.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace tavlin::forms {

std::string Rgb::Hex() const {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", r, g, b);
  return buf;
}

int EstimateTextWidth(const std::string& utf8, int fontPixels) {
  int units = 0;
  for (size_t i = 0; i < utf8.size();) units += CharWidth(NextCodePoint(utf8, i));
  return units * fontPixels / 2;
}

void Control::SetCaption(const std::string& text) {
  caption = text;
  if (!autoSize || wordWrap) return;
  // A line break (CR LF or LF) starts a line; one at the very end adds none.
  int widest = 0, lines = 0;
  size_t start = 0;
  do {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
    const std::string line = text.substr(start, stop - start);
    widest = std::max(widest, measure ? measure->Width(line, fontPixels) : EstimateTextWidth(line, fontPixels));
    ++lines;
    start = end + 1;
  } while (start < text.size());
  w = widest + 2;
  if (maxWidth > 0) w = std::min(w, maxWidth);
  h = fontPixels + 2 + (lines - 1) * LineHeight(fontPixels);
}

void Timer::SetEnabled(bool on) {
  if (on && !enabled_) {
    elapsed = 0;
    ++generation;
  }
  enabled_ = on;
}

void Timer::SetInterval(int ms) {
  interval_ = ms;
  elapsed = 0;
  ++generation;
}

Control& Form::Add(const std::string& name, std::optional<int> index, ControlKind kind,
                   std::optional<ControlKey> parent) {
  auto c = std::make_unique<Control>();
  c->key = {name, index};
  c->kind = kind;
  c->parent = std::move(parent);
  c->measure = measure_;
  controls_.push_back(std::move(c));
  return *controls_.back();
}

Control* Form::Find(const std::string& name, std::optional<int> index) {
  for (auto& c : controls_)
    if (c->key.name == name && c->key.index == index) return c.get();
  return nullptr;
}

Control& Form::C(const std::string& name, std::optional<int> index) {
  if (auto* c = Find(name, index)) return *c;
  throw std::out_of_range("no control " + name + " on " + name_);
}

const Control& Form::C(const std::string& name, std::optional<int> index) const {
  return const_cast<Form*>(this)->C(name, index);
}

void Form::AbsolutePosition(const Control& c, int& x, int& y) const {
  x = c.x;
  y = c.y;
  const Control* p = &c;
  while (p->parent) {
    p = &C(p->parent->name, p->parent->index);
    x += p->x;
    y += p->y;
  }
}

bool Form::Shown(const Control& c) const {
  const Control* p = &c;
  while (true) {
    if (!p->visible) return false;
    if (!p->parent) return true;
    p = &C(p->parent->name, p->parent->index);
  }
}

ControlArray::ControlArray(Form& form, const std::string& name) : name_(name) {
  for (const auto& c : form.controls()) {
    if (c->key.name != name || !c->key.index || *c->key.index < 0) continue;
    const auto at = static_cast<size_t>(*c->key.index);
    if (members_.size() <= at) members_.resize(at + 1, nullptr);
    members_[at] = c.get();
  }
  if (members_.empty()) throw std::out_of_range("no control array " + name + " on " + form.name());
}

Control* ControlArray::Find(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= members_.size()) return nullptr;
  return members_[static_cast<size_t>(index)];
}

Control& ControlArray::operator[](int index) const {
  if (Control* c = Find(index)) return *c;
  throw std::out_of_range("no control " + name_ + "(" + std::to_string(index) + ")");
}

Timer& Form::AddTimer(const std::string& name, int intervalMs, bool enabled) {
  timers_.push_back(std::make_unique<Timer>(name, intervalMs, enabled));
  return *timers_.back();
}

Timer& Form::T(const std::string& name) {
  for (auto& t : timers_)
    if (t->name() == name) return *t;
  throw std::out_of_range("no timer " + name + " on " + name_);
}

void ManualClock::Advance(int ms) {
  // Step in small slices so that timers started by other timers start counting at
  // the right moment.
  constexpr int kSlice = 10;
  for (int done = 0; done < ms;) {
    int step = std::min(kSlice, ms - done);
    done += step;
    now_ += step;
    for (Form* f : forms_) {
      for (auto& t : f->timers()) {
        if (!t->enabled() || t->interval() <= 0) continue;
        t->elapsed += step;
        if (t->elapsed >= t->interval()) {
          t->elapsed = 0;
          if (t->onTick) t->onTick();
        }
      }
    }
  }
}

}  // namespace tavlin::forms
