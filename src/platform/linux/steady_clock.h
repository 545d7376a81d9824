#pragma once
#include "platform/clock.h"

namespace tavlin {

// The system's monotonic clock.
class SteadyClock final : public Clock {
 public:
  int64_t Milliseconds() override;
};

}  // namespace tavlin
