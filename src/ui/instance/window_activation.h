#pragma once
// The launcher's tokens that let a window take the focus from another program:
// XDG_ACTIVATION_TOKEN (Wayland's xdg-activation) and DESKTOP_STARTUP_ID (X11's
// startup notification). A second start passes its own on to the running instance,
// which shows its window with them.
#include <QByteArray>

#include "core/instance/hand_off.h"

namespace tavlin::ui {

// This start's tokens. Read before the application object exists: Qt's X11 platform
// takes DESKTOP_STARTUP_ID from the environment when it connects.
instance::Activation ActivationOfThisStart();

// Gives XDG_ACTIVATION_TOKEN its place in the environment (empty: no token) while
// the program has one thread only. Later writes then replace the value in place or
// fit the room the environment already has: the player's threads read the
// environment at any moment, and an environment that grows can move under them.
void ReserveActivationToken();

// While it lives, the next activation of a window of ours carries the tokens of
// another start. Qt's Wayland platform reads XDG_ACTIVATION_TOKEN (and removes it)
// when a window asks for the focus; one that nobody used is emptied with this
// object, so that no program we start inherits a stale token.
class ActivationScope {
 public:
  explicit ActivationScope(const instance::Activation& activation);
  ~ActivationScope();
  ActivationScope(const ActivationScope&) = delete;
  ActivationScope& operator=(const ActivationScope&) = delete;

 private:
  QByteArray token_;
};

}  // namespace tavlin::ui
