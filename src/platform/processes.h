#pragma once
#include <string>
#include <vector>

namespace tavlin {

struct ProcessInfo {
  int pid = 0;
  std::string name;            // executable file name, e.g. "QvodPlayer.exe"
  std::string executablePath;  // full path of the executable, "" when unreadable
};

enum class WindowState { Normal, Hidden, MinimizedWithFocus };

class Processes {
 public:
  virtual ~Processes() = default;
  virtual std::vector<ProcessInfo> List() = 0;  // in the order the system gives them
  virtual bool Terminate(int pid) = 0;
  // Starts a program without waiting for it; false when it could not be started.
  virtual bool StartDetached(const std::string& program, const std::vector<std::string>& args, WindowState state) = 0;
};

}  // namespace tavlin
