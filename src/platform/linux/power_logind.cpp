#include "platform/linux/power_logind.h"

#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace tavlin {

void LogindPower::ShutDown(bool force) {
  // Forced: programs holding shutdown inhibitors are not waited for. Services still
  // stop in order, so nothing of the system is cut short.
  std::vector<std::string> args{"systemctl", "poweroff"};
  if (force) args.push_back("--check-inhibitors=no");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, "systemctl", nullptr, nullptr, argv.data(), environ) == 0) {
    ::waitpid(pid, nullptr, 0);
  }
}

}  // namespace tavlin
