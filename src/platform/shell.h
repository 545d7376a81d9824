#pragma once
#include <string>

namespace tavlin {

// The desktop's "open this" service.
class Shell {
 public:
  virtual ~Shell() = default;
  // Opens an address in the user's browser. Remote-supplied addresses are limited
  // to http and https by the adapter.
  virtual bool OpenUrl(const std::string& address) = 0;
  virtual bool OpenFolder(const std::string& path) = 0;
};

}  // namespace tavlin
