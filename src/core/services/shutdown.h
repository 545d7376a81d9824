#pragma once
#include "platform/power.h"

namespace tavlin {

// Asks the system to power off; forced means running programs are not asked first.
// Failures are not reported: the program simply keeps running.
inline void ShutDownSystem(Power& power, bool force) { power.ShutDown(force); }

}  // namespace tavlin
