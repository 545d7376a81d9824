// The player's part of the window's input: its controls, the keys and its timers.
#include "core/player/player.h"

namespace tavlin::player {

void Player::RouteInput(forms::ControlRouter& router) {
  using forms::InputEvent;
  router.Route(main_.bo_but, [this](const InputEvent& e) {
    const int index = *e.control->index;
    if (e.kind == InputEvent::MouseMove) bo_but_MouseMove(index, e.button, e.x, e.y);
    if (e.kind == InputEvent::Click) bo_but_Click(index);
    // The hovered button kept the capture, so the first move outside reached it;
    // leaving the widget is that move.
    if (e.kind == InputEvent::Leave && main_.Capture && *main_.Capture == *e.control) {
      bo_but_MouseMove(index, 0, -1, -1);
    }
  });
  router.Route(main_.adp, [this](const InputEvent& e) {
    if (e.kind == InputEvent::Click) adp_Click();
  });
  // Bars: each control takes the presses, moves and releases it has handlers for.
  using Handler = void (Player::*)(int, int, int);
  auto bar = [this, &router](forms::Control& control, Handler down, Handler move, Handler up) {
    router.Route(control, [this, down, move, up](const InputEvent& e) {
      const Handler h = e.kind == InputEvent::MouseDown ? down
                        : e.kind == InputEvent::MouseMove ? move
                        : e.kind == InputEvent::MouseUp ? up
                                                        : nullptr;
      if (h) (this->*h)(e.button, e.x, e.y);
    });
  };
  bar(main_.gunt, &Player::gunt_MouseDown, nullptr, &Player::gunt_MouseUp);
  bar(main_.huan, &Player::huan_MouseDown, nullptr, &Player::huan_MouseUp);
  bar(main_.gunt1, nullptr, &Player::gunt1_MouseMove, &Player::gunt1_MouseUp);
  bar(main_.yin, &Player::yin_MouseDown, nullptr, nullptr);
  bar(main_.bo_y, &Player::bo_y_MouseDown, nullptr, nullptr);
  bar(main_.bo_v, nullptr, &Player::bo_v_MouseMove, nullptr);

  router.RouteKeys([this](const InputEvent& e) { Form_KeyDown(e.key, 0); });
  main_.Timer1.onTick = [this] { Timer1_Timer(); };
  main_.Timer2.onTick = [this] { Timer2_Timer(); };
}

int Player::PlayState() const { return control() ? control()->PlayState() : 0; }

}  // namespace tavlin::player
