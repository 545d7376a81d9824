#pragma once
// The settings a first start writes, and the repair every start makes.
#include <string>

#include "platform/machine.h"

namespace tavlin {

// The installation id: the first adapter's address, else a random id.
std::string MakeUserId(MachineInfo& machine);
// Writes the first-run keys, in their order, into a new file. false: a key could
// not be written.
[[nodiscard]] bool CreateFirstRunConfig(const std::string& file, MachineInfo& machine);
// Start-up repair: puts back missing or broken keys; leaves good values alone.
[[nodiscard]] bool RepairConfig(const std::string& file, MachineInfo& machine);

}  // namespace tavlin
