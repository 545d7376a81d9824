// Bytes from another start of the program, fed in pieces the first byte chooses: a
// message is taken only whole and well-formed, its activation tokens are plain
// printable text, and what was taken, framed again, reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/base/utf.h"
#include "core/instance/hand_off.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 16;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  tavlin::instance::CommandReader reader;
  auto status = tavlin::instance::CommandReader::Status::Incomplete;
  for (size_t at = 0; at < bytes.size(); at += piece) status = reader.Feed(bytes.substr(at, piece));
  if (status != tavlin::instance::CommandReader::Status::Complete) return 0;
  const std::string& text = reader.text();
  if (!tavlin::IsWellFormedUtf8(text) || text.find('\0') != std::string::npos) std::abort();
  const tavlin::instance::Activation& activation = reader.activation();
  for (const std::string* token : {&activation.token, &activation.startupId}) {
    for (const char c : *token) {
      if (c < 0x20 || c > 0x7e) std::abort();
    }
  }
  const auto framed = tavlin::instance::FrameCommand(text, activation);
  if (!framed) std::abort();
  tavlin::instance::CommandReader again;
  if (again.Feed(*framed) != tavlin::instance::CommandReader::Status::Complete || again.text() != text) std::abort();
  // Tokens are dropped rather than let a command over the size limit.
  const bool kept =
      again.activation().token == activation.token && again.activation().startupId == activation.startupId;
  const bool dropped = again.activation().token.empty() && again.activation().startupId.empty();
  if (!kept && !dropped) std::abort();
  return 0;
}
