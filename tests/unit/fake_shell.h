#pragma once
#include <string>
#include <vector>

#include "platform/shell.h"

namespace tavlin::testing {

// Records what the program asked the desktop to open.
struct RecordingShell final : Shell {
  bool OpenUrl(const std::string& address) override {
    opened.push_back(address);
    return true;
  }
  bool OpenFolder(const std::string&) override { return true; }
  std::vector<std::string> opened;
};

}  // namespace tavlin::testing
