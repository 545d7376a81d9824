// Any bytes as QvodPlayer.xml: reading the save path must not crash, must always give
// an absolute folder ending in "/", and a folder it gives, written back as a fresh
// settings file, must read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/player/player_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavlin::player;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string path = SavePathFrom(text, "/home/u/Media/");
  if (path.empty() || path.front() != '/' || path.back() != '/') std::abort();
  if (path.find('\0') != std::string::npos) std::abort();
  if (SavePathFrom(DefaultPlayerSettings(path), "/elsewhere/") != path) std::abort();
  return 0;
}
