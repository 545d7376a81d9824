#include "core/shell/save_failures.h"

#include "core/shell/tray_icon.h"

namespace tavlin::shell {

void SaveFailureReporter::WriteFailed(const std::string& path) {
  log_.Write("cannot write " + path + "; the old file is kept");
  // Before the icon is there a balloon would go nowhere: the next failure tells.
  if (reported_ || !tray_.installed()) return;
  reported_ = true;
  tray_.ShowTrayBalloon(std::string(kSaveFailedText) + "\n" + path);
}

}  // namespace tavlin::shell
