#pragma once
// A settings or list file that cannot be written keeps its old content, and the
// user hears of it once, by a balloon, rather than losing settings and positions
// without a word; every failure goes to the log.
#include <string>

#include "core/base/write_failures.h"
#include "platform/log.h"

namespace tavlin::shell {

class TrayIcon;

inline constexpr const char* kSaveFailedText = "无法保存设置和播放位置：程序文件夹不可写。";

class SaveFailureReporter final : public WriteFailures {
 public:
  SaveFailureReporter(TrayIcon& tray, Log& log) : tray_(tray), log_(log) {}
  void WriteFailed(const std::string& path) override;
  bool reported() const { return reported_; }

 private:
  TrayIcon& tray_;
  Log& log_;
  bool reported_ = false;
};

}  // namespace tavlin::shell
