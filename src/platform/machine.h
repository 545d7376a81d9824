#pragma once
#include <string>

namespace tavlin {

struct LocalDateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// What the installation id needs from the machine.
class MachineInfo {
 public:
  virtual ~MachineInfo() = default;
  // Hardware address of the first network interface that has one (loopback left
  // out) as the system writes it ("00:1a:2b:3c:4d:5e"), or "" when there is none.
  virtual std::string FirstAdapterHardwareAddress() = 0;
  virtual LocalDateTime Now() = 0;
  // A uniformly distributed number in [0, 1).
  virtual double Random() = 0;
};

}  // namespace tavlin
