#include "core/services/machine_id.h"

#include <algorithm>

#include "core/base/text.h"

namespace tavlin {

std::string GetAdapterAddress(MachineInfo& machine) {
  const std::string address = ReplaceAll(ToUpperAscii(machine.FirstAdapterHardwareAddress()), ":", "-");
  if (address.empty() || address.find("00-00-00-00-00-00") != std::string::npos ||
      address.find("00-53-45-00-00-00") != std::string::npos) {
    return {};
  }
  return address;
}

std::string MakeRandomUserId(MachineInfo& machine) {
  const LocalDateTime t = machine.Now();
  const double r = std::clamp(machine.Random(), 0.0, 0.999999999);
  const int n = static_cast<int>(r * 900) + 100;
  return std::to_string(t.year) + std::to_string(t.month) + std::to_string(t.day) + std::to_string(t.hour) +
         std::to_string(t.minute) + std::to_string(t.second) + std::to_string(n);
}

}  // namespace tavlin
