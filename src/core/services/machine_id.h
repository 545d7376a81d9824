#pragma once
#include <string>

#include "platform/machine.h"

namespace tavlin {

// The first adapter's hardware address as six upper-case hex groups joined by "-",
// or "" when there is none or it is one of the two addresses that name no real card.
std::string GetAdapterAddress(MachineInfo& machine);
// Year, month, day, hour, minute and second without leading zeros, then 100-999.
std::string MakeRandomUserId(MachineInfo& machine);

}  // namespace tavlin
