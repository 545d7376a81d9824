#pragma once
// The running instance's side of a second start: the command line it handed over
// brings the window up and plays the file.
#include <string>

#include "core/player/player.h"
#include "core/forms/form.h"
#include "core/shell/window_parts.h"

namespace tavlin::instance {

class Instance {
 public:
  // startupTask: Timer3, the task run right after the window is up.
  Instance(shell::WindowFront& window, forms::Timer& startupTask, player::Player& player)
      : window_(window), startupTask_(startupTask), player_(player) {}

  // A second start's command line arrived: the start-up task runs once more, the
  // window comes to the front (from the tray or the task bar too), and a file named
  // is played as on a first start.
  void Form_LinkExecute(const std::string& commandText);

 private:
  shell::WindowFront& window_;
  forms::Timer& startupTask_;
  player::Player& player_;
};

}  // namespace tavlin::instance
