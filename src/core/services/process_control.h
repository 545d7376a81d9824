#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/processes.h"

namespace tavlin {

// Id of the first process whose executable name contains text (case-sensitive), 0
// when none.
int FindProcessId(Processes& processes, std::string_view text);
bool KillProcess(Processes& processes, int pid);
// Ends at most one process: the first that FindProcessId finds.
void KillProcessByName(Processes& processes, std::string_view text);
// Every process whose whole executable name equals name, ignoring letter case, with
// its executable path.
std::vector<ProcessInfo> FindProcessesByName(Processes& processes, std::string_view name);
// Ends every process FindProcessesByName finds; returns their executable paths.
std::vector<std::string> KillProcessesByName(Processes& processes, std::string_view name);
void PurgeDeadTrayIcons();
// Starts the player's helper from its folder unless one runs. Only from an absolute
// folder: a relative name would start whatever the working directory holds. A failed
// start is no error (the player works without it).
void StartQvodTerminal(Processes& processes, const std::string& folder);

}  // namespace tavlin
