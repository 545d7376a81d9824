#pragma once
#include <cstdint>

namespace tavlin {

// Milliseconds on a clock that only goes forward (not the time of day): how long
// ago something happened.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t Milliseconds() = 0;
};

}  // namespace tavlin
