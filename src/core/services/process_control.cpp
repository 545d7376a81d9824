#include "core/services/process_control.h"

#include "core/base/text.h"

namespace tavlin {

int FindProcessId(Processes& processes, std::string_view text) {
  for (const ProcessInfo& p : processes.List()) {
    if (p.name.find(text) != std::string::npos) return p.pid;
  }
  return 0;
}

bool KillProcess(Processes& processes, int pid) {
  if (pid <= 0) return false;
  return processes.Terminate(pid);
}

void KillProcessByName(Processes& processes, std::string_view text) {
  const int pid = FindProcessId(processes, text);
  if (pid != 0) KillProcess(processes, pid);
}

std::vector<ProcessInfo> FindProcessesByName(Processes& processes, std::string_view name) {
  std::vector<ProcessInfo> found;
  for (ProcessInfo& p : processes.List()) {
    if (EqualsIgnoreCaseAscii(p.name, name)) found.push_back(std::move(p));
  }
  return found;
}

std::vector<std::string> KillProcessesByName(Processes& processes, std::string_view name) {
  std::vector<std::string> paths;
  for (const ProcessInfo& p : FindProcessesByName(processes, name)) {
    paths.push_back(p.executablePath);
    processes.Terminate(p.pid);
  }
  return paths;
}

void PurgeDeadTrayIcons() {
  // Freedesktop tray hosts drop an icon as soon as its owner's connection closes, so
  // there are never dead icons to sweep away on Linux.
}

void StartQvodTerminal(Processes& processes, const std::string& folder) {
  if (FindProcessId(processes, "QvodTerminal.exe") != 0) return;
  if (folder.empty() || folder[0] != '/') return;
  processes.StartDetached(folder + "QvodTerminal.exe", {}, WindowState::MinimizedWithFocus);
}

}  // namespace tavlin
