#pragma once
// Where the program tells what went wrong, and what a failed write of a stored file
// leads to: neither is ever silent.
#include <string>
#include <string_view>

namespace tavlin {

class Log {
 public:
  virtual ~Log() = default;
  // One line, without its line break.
  virtual void Write(std::string_view line) = 0;
};

// Told of every settings, list or page file that could not be written; the old file
// is then still there, unchanged.
class WriteFailures {
 public:
  virtual ~WriteFailures() = default;
  virtual void WriteFailed(const std::string& path) = 0;
};

}  // namespace tavlin
