#pragma once
#include <vector>

namespace tavlin {

class Power {
 public:
  virtual ~Power() = default;
  // Asks the system to power off; force = do not let running programs object.
  virtual void ShutDown(bool force) = 0;
};

// Records shutdown requests instead of acting on them: the only Power that tests and
// automated runs ever get.
class RecordingPower final : public Power {
 public:
  void ShutDown(bool force) override { calls.push_back(force); }
  std::vector<bool> calls;  // the force flag of each request, in order
};

}  // namespace tavlin
