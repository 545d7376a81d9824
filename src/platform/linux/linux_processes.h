#pragma once
#include "platform/processes.h"

namespace tavlin {

// Processes from /proc. The name of a process is the file name of its executable;
// for a script it is the name it was started under.
class LinuxProcesses final : public Processes {
 public:
  std::vector<ProcessInfo> List() override;
  bool Terminate(int pid) override;
  bool StartDetached(const std::string& program, const std::vector<std::string>& args, WindowState state) override;
};

}  // namespace tavlin
