// The player's part of the window's input: its controls, the keys and its timers.
#include <initializer_list>

#include "core/player/player.h"

namespace tavlin::player {

void Player::RouteInput(forms::ControlRouter& router) {
  using forms::InputEvent;
  router.Route(controls_.bo_but, [this](const InputEvent& e) {
    const int index = *e.control->index;
    if (e.kind == InputEvent::MouseMove) bo_but_MouseMove(index, e.button, e.x, e.y);
    if (e.kind == InputEvent::Click) bo_but_Click(index);
    // The hovered button kept the capture, so the first move outside reached it;
    // leaving the widget is that move.
    if (e.kind == InputEvent::Leave && controls_.Capture && *controls_.Capture == *e.control) {
      bo_but_MouseMove(index, 0, -1, -1);
    }
  });
  router.Route(controls_.adp, [this](const InputEvent& e) {
    if (e.kind == InputEvent::Click) adp_Click();
  });
  // Bars: the parts of a bar report positions in their own pixels; the bar takes
  // them in its track's. A press on the handle (thumb, knob) says so.
  struct Bar {
    const forms::Control& track;
    const forms::Control& handle;
    void (Player::*down)(int button, int x, bool onHandle);
    void (Player::*move)(int button, int x);
    void (Player::*up)(int button);
  };
  auto route = [this, &router](const Bar& bar, std::initializer_list<const forms::Control*> parts) {
    for (const forms::Control* part : parts) {
      router.Route(*part, [this, bar, part](const InputEvent& e) {
        const int x = (part == &bar.track ? 0 : part->x) + e.x;
        if (e.kind == InputEvent::MouseDown) (this->*bar.down)(e.button, x, part == &bar.handle);
        if (e.kind == InputEvent::MouseMove) (this->*bar.move)(e.button, x);
        if (e.kind == InputEvent::MouseUp) (this->*bar.up)(e.button);
      });
    }
  };
  route({controls_.gunt, controls_.gunt1, &Player::SeekBar_MouseDown, &Player::SeekBar_MouseMove,
         &Player::SeekBar_MouseUp},
        {&controls_.gunt, &controls_.huan, &controls_.played, &controls_.gunt1});
  route({controls_.yin, controls_.bo_v, &Player::VolumeBar_MouseDown, &Player::VolumeBar_MouseMove,
         &Player::VolumeBar_MouseUp},
        {&controls_.yin, &controls_.bo_y, &controls_.bo_v});
  // The wheel seeks over the seek bar and turns the volume over the volume bar and
  // over the picture (or the cover in its place).
  router.RouteWheel([this](const InputEvent& e) {
    if (!e.control) return;
    auto over = [&e](std::initializer_list<const forms::Control*> parts) {
      for (const forms::Control* part : parts)
        if (part->key == *e.control) return true;
      return false;
    };
    if (over({&controls_.gunt, &controls_.huan, &controls_.played, &controls_.gunt1})) {
      SeekBar_Wheel(e.wheel);
    } else if (over({&controls_.yin, &controls_.bo_y, &controls_.bo_v, &controls_.qvod, &controls_.QvodC,
                     &controls_.bo_ad, &controls_.adp})) {
      VolumeBar_Wheel(e.wheel);
    }
  });

  router.RouteKeys([this](const InputEvent& e) { Form_KeyDown(e.key, 0); });
  controls_.Timer1.onTick = [this] { Timer1_Timer(); };
  controls_.Timer2.onTick = [this] { Timer2_Timer(); };
}

int Player::PlayState() const { return control() ? control()->PlayState() : 0; }

}  // namespace tavlin::player
