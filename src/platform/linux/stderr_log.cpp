#include "platform/linux/stderr_log.h"

#include <cstdio>

namespace tavlin {

void StderrLog::Write(std::string_view line) {
  std::fprintf(stderr, "tavlin: %.*s\n", static_cast<int>(line.size()), line.data());
  std::fflush(stderr);
}

}  // namespace tavlin
