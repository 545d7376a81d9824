#include "platform/linux/steady_clock.h"

#include <chrono>

namespace tavlin {

int64_t SteadyClock::Milliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace tavlin
