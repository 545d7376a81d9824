#pragma once
#include "platform/log.h"

namespace tavlin {

// Lines on standard error, prefixed with the program's name. Started by a desktop
// session under systemd, standard error is the journal.
class StderrLog final : public Log {
 public:
  void Write(std::string_view line) override;
};

}  // namespace tavlin
