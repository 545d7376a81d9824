#pragma once
// The road between two starts of the program: the first holds a lock and listens;
// a later start finds the lock held and hands its command line over.
#include <string>

namespace tavlin {

class InstanceChannel {
 public:
  virtual ~InstanceChannel() = default;
  // Takes the lock of the running instance; false when another instance holds it.
  // A lock left by an instance that died is free again.
  virtual bool BecomeFirst() = 0;
  // Sends one message to the instance holding the lock and waits (briefly) for its
  // acknowledgement; false when none came.
  virtual bool Send(const std::string& message) = 0;
};

}  // namespace tavlin
