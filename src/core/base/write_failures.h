#pragma once
#include <string>

namespace tavlin {

// Told of every settings, list or page file that could not be written; the old file
// is then still there, unchanged. Such a failure is never silent.
class WriteFailures {
 public:
  virtual ~WriteFailures() = default;
  virtual void WriteFailed(const std::string& path) = 0;
};

}  // namespace tavlin
