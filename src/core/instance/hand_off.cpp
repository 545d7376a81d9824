#include "core/instance/hand_off.h"

#include <cstdint>

#include "core/base/utf.h"

namespace tavlin::instance {

namespace {
constexpr size_t kHeaderBytes = 4;
}  // namespace

std::optional<std::string> FrameCommand(std::string_view text) {
  if (text.size() > kMaxCommandBytes) return std::nullopt;
  const auto n = static_cast<uint32_t>(text.size());
  std::string message{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
                      static_cast<char>(n)};
  message.append(text);
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
  std::string text = buffer_.substr(kHeaderBytes);
  // A command line is text: no NUL can be in one, and it comes as UTF-8.
  if (text.find('\0') != std::string::npos || !IsWellFormedUtf8(text)) return status_ = Status::Refused;
  text_ = std::move(text);
  buffer_.clear();
  return status_ = Status::Complete;
}

bool HandOverToRunningInstance(InstanceChannel& channel, const std::string& commandLine, Log& log) {
  if (channel.BecomeFirst()) return false;
  const std::optional<std::string> message = FrameCommand(commandLine);
  if (!message) {
    log.Write("the command line is too long to hand over (" + std::to_string(commandLine.size()) + " bytes)");
  } else if (!channel.Send(*message)) {
    log.Write("the running instance did not answer; the command line is lost");
  }
  return true;
}

}  // namespace tavlin::instance
