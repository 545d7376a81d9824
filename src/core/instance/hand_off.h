#pragma once
// What one start of the program tells the running one: its command line as one
// message, the length first (four bytes, most significant first), then the text in
// UTF-8. The running instance answers a whole, sound message with one byte.
// A start launched by the desktop adds what lets the running instance take the
// focus (a command line never holds a NUL): after the text, a NUL, then fields
// "name=value" separated by NULs. A message of the text alone is read as before.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/instance_channel.h"
#include "platform/log.h"

namespace tavlin::instance {

inline constexpr size_t kMaxCommandBytes = 64 * 1024;
inline constexpr char kAcknowledgement = '\x06';
inline constexpr size_t kMaxTokenBytes = 1024;

// The launcher's proof that the user asked for this start: a window shown with it
// may take the focus from another program.
struct Activation {
  std::string token;      // Wayland: XDG_ACTIVATION_TOKEN
  std::string startupId;  // X11: DESKTOP_STARTUP_ID
  bool operator==(const Activation&) const = default;
};

// A token is printable ASCII within the limit; anything else is no token.
bool IsSoundToken(std::string_view token);

// Nothing when the text is longer than the limit or holds a NUL. Tokens that are
// not sound are left out.
std::optional<std::string> FrameCommand(std::string_view text, const Activation& activation = {});

// Reads one message from bytes as they arrive.
class CommandReader {
 public:
  enum class Status { Incomplete, Complete, Refused };
  Status Feed(std::string_view bytes);
  Status status() const { return status_; }
  // The text, once Complete.
  const std::string& text() const { return text_; }
  // The sender's tokens, once Complete; fields unknown or not sound are passed over.
  const Activation& activation() const { return activation_; }

 private:
  std::string buffer_;
  std::string text_;
  Activation activation_;
  Status status_ = Status::Incomplete;
};

// The start of the program's main window, in a start that finds another instance
// running: hands the command line to it. True when this start must end now.
bool HandOverToRunningInstance(InstanceChannel& channel, const std::string& commandLine, Log& log,
                               const Activation& activation = {});

}  // namespace tavlin::instance
