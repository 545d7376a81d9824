#pragma once
#include "platform/machine.h"

namespace tavlin::testing {

class FakeMachine final : public MachineInfo {
 public:
  std::string FirstAdapterHardwareAddress() override { return adapter; }
  LocalDateTime Now() override { return now; }
  double Random() override { return random; }

  std::string adapter = "00:1a:2b:3c:4d:5e";
  LocalDateTime now{2010, 10, 28, 9, 5, 7};
  double random = 0.5;
};

}  // namespace tavlin::testing
