#pragma once
// The control model shared by all forms: each form owns its controls as plain data
// (geometry, visibility, texts, colours, the skin frame a picture box shows) and its
// timers. The Qt layer mirrors this data onto widgets; tests read it directly.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/geometry.h"
#include "platform/text_measure.h"

namespace tavlin::forms {

constexpr int kTwipsPerPixel = 15;

// Whole pixels for a length in twips, rounded up so that a size set in twips reads
// back at least as large (a minimum-size rule then never fires twice).
constexpr int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel - 1) / kTwipsPerPixel; }
constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
  std::string Hex() const;  // "#rrggbb"
};

// A frame copied 1:1 out of an image strip to the control's top-left corner.
struct Frame {
  int strip = -1;  // -1: nothing copied
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  bool operator==(const Frame&) const = default;
};

// A stretch copy from a strip rectangle to a destination rectangle.
struct Blit {
  int strip = 0;
  int sx = 0, sy = 0, sw = 0, sh = 0;
  int dx = 0, dy = 0, dw = 0, dh = 0;
  bool operator==(const Blit&) const = default;
};

// CheckBox, TextBox, Button and Frame (a captioned group box) are the dialog
// controls of the smaller forms.
enum class ControlKind { PictureBox, Label, WebView, Line, Player, CheckBox, TextBox, Button, Frame };

struct ControlKey {
  std::string name;
  std::optional<int> index;
  bool operator==(const ControlKey&) const = default;
};

struct Control {
  ControlKey key;
  ControlKind kind = ControlKind::PictureBox;
  std::optional<ControlKey> parent;  // none: placed on the form itself
  bool visible = true;
  bool enabled = true;
  std::string caption;
  std::string tooltip;
  int x = 0, y = 0, w = 0, h = 0;  // pixels, relative to the parent
  Rgb fore{0, 0, 0};
  std::optional<Rgb> back;  // none: transparent
  Frame frame;              // the image copied into a picture box
  std::vector<Blit> blits;  // stretch copies drawn after the frame
  std::string picture;      // a picture of its own (by resource name), drawn first
  bool autoSize = false;    // labels: size follows the text
  bool ownTooltip = false;  // the form draws this control's tooltip itself
  bool wordWrap = false;
  bool hand = false;     // a link: the pointing hand over it
  int maxWidth = 0;      // auto-sized labels grow no wider (0: no limit)
  bool checked = false;  // check boxes
  int fontPixels = 12;

  const std::string& name() const { return key.name; }
  void Move(int left, int top) { x = left, y = top; }
  void Move(int left, int top, int width, int height) { x = left, y = top, w = width, h = height; }
  void SetCaption(const std::string& text);  // re-sizes an auto-sized label
  const TextMeasure* measure = nullptr;      // the form's; none: the estimate
};

// Width of a text in pixels as the model estimates it where nothing measures: code
// points below 256 count one unit, others two, at half the font height per unit.
int EstimateTextWidth(const std::string& utf8, int fontPixels);
// The distance between two lines of a label's text.
constexpr int LineHeight(int fontPixels) { return fontPixels * 3 / 2; }

class Timer {
 public:
  Timer(std::string name, int intervalMs, bool enabled)
      : name_(std::move(name)), interval_(intervalMs), enabled_(enabled) {}
  const std::string& name() const { return name_; }
  int interval() const { return interval_; }
  bool enabled() const { return enabled_; }
  void SetEnabled(bool on);
  void SetInterval(int ms);
  // Time since it was (re)started; the manual clock fires it when this reaches the interval.
  int elapsed = 0;
  std::function<void()> onTick;
  uint64_t generation = 0;  // bumped on every restart, so a driver can re-arm

 private:
  std::string name_;
  int interval_;
  bool enabled_;
};

enum class WindowState { Normal, Minimized, Maximized };

struct WindowData {
  int x = 0, y = 0;
  int w = 0, h = 0;  // client = window (no system frame), pixels
  WindowState state = WindowState::Normal;
  bool visible = false;
  bool topmost = false;
  int cursor = 0;  // 0 default, 6 NE-SW, 7 N-S, 8 NW-SE, 9 W-E
  int minW = 0, minH = 0;
  // The part of the window shown; none: all of it.
  std::optional<PixelRect> region;
};

class Form {
 public:
  // measure: how the screen measures label texts; none: the estimate.
  explicit Form(std::string name, const TextMeasure* measure = nullptr) : name_(std::move(name)), measure_(measure) {}
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }

  Control& Add(const std::string& name, std::optional<int> index, ControlKind kind,
               std::optional<ControlKey> parent = std::nullopt);
  Control& C(const std::string& name, std::optional<int> index = std::nullopt);
  const Control& C(const std::string& name, std::optional<int> index = std::nullopt) const;
  Control* Find(const std::string& name, std::optional<int> index = std::nullopt);
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  // Position of a control in the form's client area (sum of its parents' offsets).
  void AbsolutePosition(const Control& c, int& x, int& y) const;
  // Visible on screen: itself and every parent visible.
  bool Shown(const Control& c) const;

  Timer& AddTimer(const std::string& name, int intervalMs, bool enabled);
  Timer& T(const std::string& name);
  const std::vector<std::unique_ptr<Timer>>& timers() const { return timers_; }

  WindowData window;
  Rgb backColor;                 // under the form's own painting
  std::vector<Blit> background;  // the form's own painting, in order
  bool roundedCorners = false;

 private:
  std::string name_;
  const TextMeasure* measure_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<std::unique_ptr<Timer>> timers_;
};

// The members of a control array ("npc", "bo_but"...), resolved once when the form
// has created them, so a handler names the array and an index, never a string.
class ControlArray {
 public:
  ControlArray(Form& form, const std::string& name);
  const std::string& name() const { return name_; }
  // The member with that index; throws when the array has none.
  Control& operator[](int index) const;
  Control* Find(int index) const;
  bool Holds(const ControlKey& key) const { return key.name == name_ && key.index && Find(*key.index); }

 private:
  std::string name_;
  std::vector<Control*> members_;  // by index; null for a gap
};

// Drives the timers of forms in tests: Advance(ms) fires every enabled timer whose
// interval has passed, in order of registration, as often as it is due. As a Clock
// it reads the time advanced so far.
class ManualClock final : public Clock {
 public:
  void Watch(Form& form) { forms_.push_back(&form); }
  void Advance(int ms);
  int64_t Milliseconds() override { return now_; }

 private:
  std::vector<Form*> forms_;
  int64_t now_ = 0;
};

}  // namespace tavlin::forms
