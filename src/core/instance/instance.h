#pragma once
// The running instance's side of a second start: the command line it handed over
// brings the window up and plays the file.
#include <string>

#include "core/player/player.h"
#include "core/shell/ba1.h"

namespace tavlin::instance {

class Instance {
 public:
  Instance(shell::BA1& main, player::Player& player) : main_(main), player_(player) {}

  // A second start's command line arrived: the start-up task runs once more, the
  // window comes to the front (from the tray or the task bar too), and a file named
  // is played as on a first start.
  void Form_LinkExecute(const std::string& commandText);

 private:
  shell::BA1& main_;
  player::Player& player_;
};

}  // namespace tavlin::instance
