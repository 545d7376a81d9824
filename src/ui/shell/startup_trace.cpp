#include "ui/shell/startup_trace.h"

#include <QtGlobal>
#include <cstdio>
#include <ctime>

namespace tavlin::ui {

void TraceStartupStep(const char* step) {
  static const bool on = !qEnvironmentVariableIsEmpty("TAVLIN_STARTUP_TRACE");
  if (!on) return;
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  std::fprintf(stderr, "startup %.6f %s\n", static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9, step);
}

}  // namespace tavlin::ui
