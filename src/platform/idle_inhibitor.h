#pragma once
#include <string>

namespace tavlin {

// The desktop's idle actions (screen saver, blanking, locking) held off while a
// film plays. Hold and release alternate: the caller never holds twice.
class IdleInhibitor {
 public:
  virtual ~IdleInhibitor() = default;
  virtual void Hold(const std::string& reason) = 0;
  virtual void Release() = 0;
};

}  // namespace tavlin
