#pragma once
// What one start of the program tells the running one: its command line as one
// message, the length first (four bytes, most significant first), then the text in
// UTF-8. The running instance answers a whole, sound message with one byte.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/instance_channel.h"
#include "platform/log.h"

namespace tavlin::instance {

inline constexpr size_t kMaxCommandBytes = 64 * 1024;
inline constexpr char kAcknowledgement = '\x06';

// Nothing when the text is longer than the limit.
std::optional<std::string> FrameCommand(std::string_view text);

// Reads one message from bytes as they arrive.
class CommandReader {
 public:
  enum class Status { Incomplete, Complete, Refused };
  Status Feed(std::string_view bytes);
  Status status() const { return status_; }
  // The text, once Complete.
  const std::string& text() const { return text_; }

 private:
  std::string buffer_;
  std::string text_;
  Status status_ = Status::Incomplete;
};

// The start of the program's main window, in a start that finds another instance
// running: hands the command line to it. True when this start must end now.
bool HandOverToRunningInstance(InstanceChannel& channel, const std::string& commandLine, Log& log);

}  // namespace tavlin::instance
