#pragma once
#include "platform/power.h"

namespace tavlin {

// Powers the machine off through logind. Linked into the program alone.
class LogindPower final : public Power {
 public:
  void ShutDown(bool force) override;
};

}  // namespace tavlin
