#pragma once

namespace tavlin {

// The application around the program's forms.
class Application {
 public:
  virtual ~Application() = default;
  // Lets pending window messages run (painting, timers), without user input.
  virtual void PumpEvents() = 0;
  // Unloads every form and so ends the program.
  virtual void Quit() = 0;
};

}  // namespace tavlin
