#pragma once
#include <string_view>

namespace tavlin {

// Where the program tells what went wrong.
class Log {
 public:
  virtual ~Log() = default;
  // One line, without its line break.
  virtual void Write(std::string_view line) = 0;
};

}  // namespace tavlin
