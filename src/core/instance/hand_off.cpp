#include "core/instance/hand_off.h"

#include <cstdint>

#include "core/base/utf.h"

namespace tavlin::instance {

namespace {
constexpr size_t kHeaderBytes = 4;
constexpr std::string_view kTokenField = "token=";
constexpr std::string_view kStartupIdField = "startup-id=";
}  // namespace

bool IsSoundToken(std::string_view token) {
  if (token.empty() || token.size() > kMaxTokenBytes) return false;
  for (char c : token) {
    if (c < 0x20 || c > 0x7e) return false;
  }
  return true;
}

std::optional<std::string> FrameCommand(std::string_view text, const Activation& activation) {
  // A NUL would end the text early at the other side.
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  std::string body(text);
  // Without a token the message is the text alone, as every start used to send it.
  if (IsSoundToken(activation.token)) body.append(1, '\0').append(kTokenField).append(activation.token);
  if (IsSoundToken(activation.startupId)) body.append(1, '\0').append(kStartupIdField).append(activation.startupId);
  // The command line matters more than the focus: a text near the limit goes alone.
  if (body.size() > kMaxCommandBytes) body.resize(text.size());
  if (body.size() > kMaxCommandBytes) return std::nullopt;
  const auto n = static_cast<uint32_t>(body.size());
  std::string message{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
                      static_cast<char>(n)};
  message.append(body);
  return message;
}

CommandReader::Status CommandReader::Feed(std::string_view bytes) {
  if (status_ != Status::Incomplete) {
    // Anything after the message is no part of a well-behaved start.
    if (!bytes.empty()) status_ = Status::Refused;
    return status_;
  }
  buffer_.append(bytes);
  if (buffer_.size() < kHeaderBytes) return status_;
  size_t length = 0;
  for (size_t i = 0; i < kHeaderBytes; ++i) length = (length << 8) | static_cast<unsigned char>(buffer_[i]);
  // Refused as soon as the length says so: the sender cannot make us hold more.
  if (length > kMaxCommandBytes) return status_ = Status::Refused;
  if (buffer_.size() < kHeaderBytes + length) return status_;
  if (buffer_.size() > kHeaderBytes + length) return status_ = Status::Refused;
  const std::string body = buffer_.substr(kHeaderBytes);
  buffer_.clear();
  // A command line is text: no NUL can be in one, and it comes as UTF-8. What
  // follows a NUL are the fields.
  const size_t end = body.find('\0');
  std::string text = body.substr(0, end);
  if (!IsWellFormedUtf8(text)) return status_ = Status::Refused;
  for (size_t at = end; at != std::string::npos && at < body.size();) {
    const size_t next = body.find('\0', at + 1);
    const std::string_view field =
        std::string_view(body).substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
    at = next;
    auto take = [&field](std::string_view name, std::string& into) {
      if (field.substr(0, name.size()) != name || !IsSoundToken(field.substr(name.size()))) return;
      into = std::string(field.substr(name.size()));
    };
    take(kTokenField, activation_.token);
    take(kStartupIdField, activation_.startupId);
  }
  text_ = std::move(text);
  return status_ = Status::Complete;
}

bool HandOverToRunningInstance(InstanceChannel& channel, const std::string& commandLine, Log& log,
                               const Activation& activation) {
  if (channel.BecomeFirst()) return false;
  const std::optional<std::string> message = FrameCommand(commandLine, activation);
  if (!message) {
    log.Write("the command line is too long to hand over (" + std::to_string(commandLine.size()) + " bytes)");
  } else if (!channel.Send(*message)) {
    log.Write("the running instance did not answer; the command line is lost");
  }
  return true;
}

}  // namespace tavlin::instance
