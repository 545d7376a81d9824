#pragma once
// The one-shot task that runs right after the window is up (Timer3): takes over
// from a player left running by another program, remembers the player's folder,
// and starts its terminal when that is not running.
#include "core/base/write_failures.h"
#include "core/base/program_folder.h"
#include "core/forms/form.h"
#include "core/state/program_state.h"
#include "platform/application.h"
#include "platform/processes.h"

namespace tavlin::services {

class StartupTask {
 public:
  StartupTask(ProgramFolder folder, forms::Timer& timer, state::ServiceState& state, Processes& processes,
              Application& application, WriteFailures& failures);
  void Timer3_Timer();

 private:
  ProgramFolder folder_;
  forms::Timer& timer_;
  state::ServiceState& state_;
  Processes& processes_;
  Application& application_;
  WriteFailures& failures_;
};

}  // namespace tavlin::services
