#pragma once
// What the window system reports: one event type for a control, the form's own
// surface, the keyboard and the window. The Qt layer and the automation channel
// raise the same events, so both reach the program by one road.
#include <optional>

#include "core/forms/form.h"

namespace tavlin::forms {

// Mouse buttons as the handlers receive them (a bit set while moving).
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

struct InputEvent {
  enum Kind {
    MouseDown,
    MouseMove,
    MouseUp,
    Click,
    DblClick,
    Leave,            // the pointer left a control without a last move there
    KeyDown,          // key: a virtual-key code (core/forms/keys.h)
    Resized,          // x, y: the window's new width and height
    StateChanged,     // state
    MoveResizeEnded,  // a move or resize handed to the window system has ended
    CloseRequested,   // the window system asks the window to close
    Wheel,            // wheel: notches turned, away from the user positive
  };
  Kind kind = MouseMove;
  std::optional<ControlKey> control;  // none: the form itself
  int button = 0;
  int x = 0, y = 0;  // pixels in the control, or in the form's client area
  int key = 0;
  int wheel = 0;
  WindowState state = WindowState::Normal;

  static InputEvent OnControl(Kind kind, ControlKey control, int button = 0, int x = 0, int y = 0) {
    InputEvent e;
    e.kind = kind;
    e.control = std::move(control);
    e.button = button;
    e.x = x;
    e.y = y;
    return e;
  }
  static InputEvent OnForm(Kind kind, int button = 0, int x = 0, int y = 0) {
    InputEvent e;
    e.kind = kind;
    e.button = button;
    e.x = x;
    e.y = y;
    return e;
  }
  static InputEvent WheelOn(ControlKey control, int notches) {
    InputEvent e;
    e.kind = Wheel;
    e.control = std::move(control);
    e.wheel = notches;
    return e;
  }
  static InputEvent Key(int code) {
    InputEvent e;
    e.kind = KeyDown;
    e.key = code;
    return e;
  }
};

}  // namespace tavlin::forms
