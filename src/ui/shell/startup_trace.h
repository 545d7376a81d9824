#pragma once
// TAVLIN_STARTUP_TRACE=1 prints where the start-up time goes: each step with the
// monotonic clock's seconds, which a benchmark compares with the time of its exec.

namespace tavlin::ui {

void TraceStartupStep(const char* step);

}  // namespace tavlin::ui
