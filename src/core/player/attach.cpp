// Wires the player subsystem into the main window, and routes the UI layer's mouse
// events on the player's controls.
#include "core/player/player.h"

namespace tavlin::player {

std::unique_ptr<Player> AttachPlayer(shell::BA1& main, PlayerPorts ports) {
  auto player = std::make_unique<Player>(main, ports);
  Player* p = player.get();
  main.hooks.bo_but_Click = [p](int index) { p->bo_but_Click(index); };
  main.hooks.l_com = [p](const std::string& text) { p->l_com(text); };
  main.hooks.keyDown = [p](int vk) { p->Form_KeyDown(vk, 0); };
  main.T("Timer1").onTick = [p] { p->Timer1_Timer(); };
  main.T("Timer2").onTick = [p] { p->Timer2_Timer(); };
  return player;
}

bool Player::ControlMouse(const forms::ControlKey& key, MouseAction action, int button, int x, int y) {
  const std::string& n = key.name;
  if (n == "bo_but" && key.index) {
    if (action == MouseAction::Move) bo_but_MouseMove(*key.index, button, x, y);
    if (action == MouseAction::Click) main_.bo_but_Click(*key.index);
    return true;
  }
  auto on = [&](MouseAction a, void (Player::*handler)(int, int, int)) {
    if (action == a) (this->*handler)(button, x, y);
  };
  if (n == "adp") {
    if (action == MouseAction::Click) adp_Click();
  } else if (n == "gunt") {
    on(MouseAction::Down, &Player::gunt_MouseDown);
    on(MouseAction::Up, &Player::gunt_MouseUp);
  } else if (n == "huan") {
    on(MouseAction::Down, &Player::huan_MouseDown);
    on(MouseAction::Up, &Player::huan_MouseUp);
  } else if (n == "gunt1") {
    on(MouseAction::Move, &Player::gunt1_MouseMove);
    on(MouseAction::Up, &Player::gunt1_MouseUp);
  } else if (n == "yin") {
    on(MouseAction::Down, &Player::yin_MouseDown);
  } else if (n == "bo_y") {
    on(MouseAction::Down, &Player::bo_y_MouseDown);
  } else if (n == "bo_v") {
    on(MouseAction::Move, &Player::bo_v_MouseMove);
  } else {
    return false;
  }
  return true;
}

void Player::ControlLeave(const forms::ControlKey& key) {
  if (key.name == "bo_but" && key.index && main_.Capture && *main_.Capture == key) {
    bo_but_MouseMove(*key.index, 0, -1, -1);
  }
}

}  // namespace tavlin::player
