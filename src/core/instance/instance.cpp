#include "core/instance/instance.h"

namespace tavlin::instance {

void Instance::Form_LinkExecute(const std::string& commandText) {
  startupTask_.SetEnabled(true);
  window_.ComeToFront();
  // Judged by what would be played: a text of quotes alone (an empty "%f" of a
  // launcher) names no file, and must not stop the film that is playing.
  if (player::CommandLinePath(commandText).empty()) return;
  window_.LeaveCompactMode();
  // Stopping saves the position of the item that was playing.
  player_.StopItem();
  player_.l_com(commandText);
}

}  // namespace tavlin::instance
