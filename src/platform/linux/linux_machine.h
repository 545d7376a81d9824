#pragma once
#include "platform/machine.h"

namespace tavlin {

class LinuxMachine final : public MachineInfo {
 public:
  std::string FirstAdapterHardwareAddress() override;
  LocalDateTime Now() override;
  double Random() override;
};

}  // namespace tavlin
