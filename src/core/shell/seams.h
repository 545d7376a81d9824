#pragma once
// What the main window asks of the subsystems built on it. Each is implemented by
// the subsystem named and handed to the window when the program is built.

namespace tavlin::shell {

// The player's side of the window (core/player).
class PlayerButtons {
 public:
  virtual ~PlayerButtons() = default;
  // The stop button: the item stopped and its place saved.
  virtual void StopItem() = 0;
  // The player's PlayState, 0 while there is no player.
  virtual int PlayState() const = 0;
};

// The program's one orderly way out (core/app).
class ProgramExit {
 public:
  virtual ~ProgramExit() = default;
  virtual void ttt_v() = 0;
};

}  // namespace tavlin::shell
